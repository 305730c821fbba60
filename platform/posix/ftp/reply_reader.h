// Replies of an FTP server's control connection, assembled from the bytes as they arrive:
// "200 Done." on one line, or "211-Features:" ... "211 End." over many, with any lines between
// (even ones that start with digits). Bytes that cannot start a reply, and replies beyond any
// sensible length, are reported rather than waited on for ever.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace arkivo::platform::ftp {

struct FtpReply {
    int code = 0;
    std::vector<std::string> lines;  // as sent, line ends removed

    bool IsPreliminary() const { return code / 100 == 1; }
    bool IsCompletion() const { return code / 100 == 2; }
    bool IsIntermediate() const { return code / 100 == 3; }
    // Every line, joined by spaces, for an error message.
    std::string Text() const;
};

class ReplyReader {
  public:
    enum class Status {
        Incomplete,  // more bytes are needed
        Reply,       // a whole reply is ready
        Garbage,     // the bytes are not an FTP reply
    };

    void Feed(std::string_view bytes);

    // The next reply when one is complete. After Garbage the reader stays broken: what follows
    // cannot be trusted to line up with the commands sent.
    Status Next(FtpReply& reply);

    // The first bytes that broke the reader, for the error message.
    const std::string& garbage() const { return garbage_; }

  private:
    bool TakeLine(std::string& line);
    Status AddLine(std::string line, FtpReply& reply);

    std::string pending_;
    std::size_t taken_ = 0;    // bytes of pending_ already returned as lines
    std::size_t scanned_ = 0;  // bytes of pending_ known to hold no line end
    FtpReply partial_;
    std::size_t partialBytes_ = 0;
    bool broken_ = false;
    std::string garbage_;
};

}  // namespace arkivo::platform::ftp
