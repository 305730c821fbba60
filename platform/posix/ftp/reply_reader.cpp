#include "platform/posix/ftp/reply_reader.h"

namespace arkivo::platform::ftp {
namespace {

// Longer than any banner or feature line a real server sends, short enough that a hostile one
// cannot make us hold its stream.
constexpr std::size_t kLongestLine = 64 * 1024;
constexpr std::size_t kLongestReply = 1024 * 1024;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The code of a line that starts a reply ("123 " or "123-", or "123" alone), else 0.
int CodeOf(std::string_view line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]) ||
        line[0] < '1' || line[0] > '5') {
        return 0;
    }
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-') {
        return 0;
    }
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool ContinuesReply(std::string_view line) {
    return line.size() > 3 && line[3] == '-';
}

}  // namespace

std::string FtpReply::Text() const {
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : " ") + line;
    }
    return text;
}

void ReplyReader::Feed(std::string_view bytes) {
    if (broken_) {
        return;
    }
    // Lines taken are dropped here, all at once, not one by one, which would move the rest of
    // a long reply again for every line.
    pending_.erase(0, taken_);
    scanned_ -= taken_;
    taken_ = 0;
    pending_.append(bytes);
}

bool ReplyReader::TakeLine(std::string& line) {
    const auto end = pending_.find('\n', scanned_);
    if (end == std::string::npos) {
        scanned_ = pending_.size();
        return false;
    }
    line.assign(pending_, taken_, end - taken_);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    taken_ = end + 1;
    scanned_ = taken_;
    return true;
}

ReplyReader::Status ReplyReader::Next(FtpReply& reply) {
    std::string line;
    while (!broken_) {
        if (!TakeLine(line)) {
            if (pending_.size() - taken_ <= kLongestLine) {
                return Status::Incomplete;
            }
            garbage_ = pending_.substr(taken_, 80);
            broken_ = true;
            break;
        }
        if (AddLine(std::move(line), reply) == Status::Reply) {
            return Status::Reply;
        }
    }
    pending_.clear();
    taken_ = 0;
    scanned_ = 0;
    return Status::Garbage;
}

ReplyReader::Status ReplyReader::AddLine(std::string line, FtpReply& reply) {
    partialBytes_ += line.size();
    if (partialBytes_ > kLongestReply) {
        garbage_ = "a reply longer than " + std::to_string(kLongestReply) + " bytes";
        broken_ = true;
        return Status::Garbage;
    }
    if (partial_.lines.empty()) {
        const int code = CodeOf(line);
        if (code == 0) {
            garbage_ = line.substr(0, 80);
            broken_ = true;
            return Status::Garbage;
        }
        partial_.code = code;
        const bool more = ContinuesReply(line);
        partial_.lines.push_back(std::move(line));
        if (more) {
            return Status::Incomplete;
        }
    } else {
        // Only the code of the first line, followed by a space (or nothing), ends a reply.
        const bool last = CodeOf(line) == partial_.code && !ContinuesReply(line);
        partial_.lines.push_back(std::move(line));
        if (!last) {
            return Status::Incomplete;
        }
    }
    reply = std::move(partial_);
    partial_ = {};
    partialBytes_ = 0;
    return Status::Reply;
}

}  // namespace arkivo::platform::ftp
