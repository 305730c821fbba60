// What an FTP server sends, read by the client's parsers: replies on the control connection,
// passive addresses, FEAT and PWD answers, and listings in every style. None of them may fail
// badly; replies read the same however the bytes are split; and a name a listing calls safe
// never leads out of a folder.
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/posix/ftp/data_address.h"
#include "platform/posix/ftp/listing.h"
#include "platform/posix/ftp/pwd_reply.h"
#include "platform/posix/ftp/reply_reader.h"
#include "platform/posix/ftp/server_features.h"
#include "tests/fuzz/fuzz_files.h"

namespace {

using namespace arkivo::platform;
using namespace arkivo::platform::ftp;
using arkivo::fuzz::Require;

// A date in the middle of a year, and the last minute of one.
constexpr std::int64_t kMidYear = 1773576000;  // 2026-03-15 12:00:00 UTC
constexpr std::int64_t kYearEnd = 1767225599;  // 2025-12-31 23:59:59 UTC

struct Replies {
    std::vector<FtpReply> replies;
    ReplyReader::Status last = ReplyReader::Status::Incomplete;
};

Replies ReadReplies(std::string_view bytes, std::size_t pieceSize) {
    ReplyReader reader;
    Replies read;
    for (std::size_t at = 0; at < bytes.size() && read.last != ReplyReader::Status::Garbage;
         at += pieceSize) {
        reader.Feed(bytes.substr(at, pieceSize));
        FtpReply reply;
        while ((read.last = reader.Next(reply)) == ReplyReader::Status::Reply) {
            Require(reply.code >= 100 && reply.code <= 599, "a reply code out of range");
            Require(!reply.lines.empty() &&
                        reply.lines.front().compare(0, 3, std::to_string(reply.code)) == 0,
                    "a reply whose first line does not carry its code");
            read.replies.push_back(reply);
        }
    }
    return read;
}

void CheckReplies(std::string_view bytes) {
    const auto whole = ReadReplies(bytes, bytes.size() + 1);
    const std::size_t pieceSize = bytes.empty() ? 1 : 1 + static_cast<unsigned char>(bytes[0]) % 7;
    const auto pieces = ReadReplies(bytes, pieceSize);
    Require(whole.last == pieces.last, "the reader's state depends on how the bytes were split");
    Require(whole.replies.size() == pieces.replies.size(),
            "the number of replies depends on how the bytes were split");
    for (std::size_t i = 0; i < whole.replies.size(); ++i) {
        Require(whole.replies[i].code == pieces.replies[i].code &&
                    whole.replies[i].lines == pieces.replies[i].lines,
                "a reply depends on how the bytes were split");
    }
    for (const auto& reply : whole.replies) {
        ParseFeatures(reply.lines);
        ParsePwdReply(reply.Text());
    }
}

void CheckDataAddresses(std::string_view text) {
    if (const auto address = ParsePasvReply(text)) {
        Require(address->port != 0, "a passive reply read as port 0");
    }
    if (const auto port = ParseEpsvReply(text)) {
        Require(*port != 0, "an extended passive reply read as port 0");
    }
}

void CheckListing(std::string_view bytes, ListingStyle style, std::int64_t now) {
    const auto listing = ReadListing(bytes, style, now);
    for (const auto& entry : listing.entries) {
        Require(!entry.name.empty(), "an entry without a name");
        const std::string name = arkivo::Utf16ToUtf8(entry.name);
        const bool leadsElsewhere =
            name == "." || name == ".." ||
            name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos;
        Require(!(leadsElsewhere && entry.HasSafeName()),
                "a name that leads out of its folder is called safe");
        if (entry.timePrecision == FtpTimePrecision::Minute) {
            Require(arkivo::FileTimeToUnixSeconds(entry.lastWriteTime) % 60 == 0,
                    "a LIST time finer than its minute");
        }
        if (entry.timePrecision == FtpTimePrecision::Day) {
            Require(arkivo::FileTimeToUnixSeconds(entry.lastWriteTime) % 86400 == 0,
                    "a LIST date that is not a midnight");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = arkivo::fuzz::AsText(data, size);
    CheckReplies(bytes);
    CheckDataAddresses(bytes);
    CheckListing(bytes, ListingStyle::Mlsd, kMidYear);
    CheckListing(bytes, ListingStyle::List, kMidYear);
    CheckListing(bytes, ListingStyle::List, kYearEnd);
    return 0;
}
