#include "platform/ftp_error.h"

#include <array>
#include <mutex>

namespace arkivo::platform {
namespace {

// An error code's value holds the failure's kind, its reply code and the serial number of its
// text: the kind and the code survive when the text has made room for newer ones.
constexpr int kKindBits = 4;
constexpr int kReplyCodeBits = 10;
constexpr int kSerialBits = 17;
constexpr std::size_t kKeptTexts = 1024;
// A hostile server may send a reply of any length; a message needs far less.
constexpr std::size_t kLongestText = 512;

struct KeptText {
    int serial = 0;
    std::string text;
};

class FtpErrorCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "ftp"; }

    std::string message(int value) const override {
        const int serial = value >> (kKindBits + kReplyCodeBits);
        {
            std::lock_guard lock(mutex_);
            const KeptText& kept = texts_[static_cast<std::size_t>(serial) % kKeptTexts];
            if (serial != 0 && kept.serial == serial) {
                return kept.text;
            }
        }
        std::string text = KindText(static_cast<FtpFailure>(value & ((1 << kKindBits) - 1)));
        if (const int code = (value >> kKindBits) & ((1 << kReplyCodeBits) - 1)) {
            text += " (" + std::to_string(code) + ")";
        }
        return text;
    }

    int Keep(std::string text) {
        std::lock_guard lock(mutex_);
        lastSerial_ = lastSerial_ % ((1 << kSerialBits) - 1) + 1;
        texts_[static_cast<std::size_t>(lastSerial_) % kKeptTexts] = {lastSerial_, std::move(text)};
        return lastSerial_;
    }

  private:
    static std::string KindText(FtpFailure failure) {
        switch (failure) {
            case FtpFailure::Refused:
                return "the FTP server refused";
            case FtpFailure::TimedOut:
                return "timed out waiting for the FTP server";
            case FtpFailure::ConnectionLost:
                return "the FTP server closed the connection";
            case FtpFailure::BadReply:
                return "the FTP server's reply could not be understood";
            case FtpFailure::Unreachable:
                return "no connection to the FTP server";
            case FtpFailure::Unsendable:
                return "the name cannot be sent to an FTP server";
            case FtpFailure::NotConnected:
                return "not connected to the FTP server";
            case FtpFailure::NotAvailable:
                return "FTP is not available on this system yet";
        }
        return "the FTP session failed";
    }

    mutable std::mutex mutex_;
    std::array<KeptText, kKeptTexts> texts_;
    int lastSerial_ = 0;
};

FtpErrorCategory& Category() {
    static FtpErrorCategory category;
    return category;
}

// Line breaks and other control characters a server sends would break the line of a report.
std::string OneLine(std::string_view text) {
    std::string line(text.substr(0, kLongestText));
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

std::error_code MakeFtpError(FtpFailure failure, std::string_view text, int replyCode) {
    if (replyCode < 0 || replyCode >= (1 << kReplyCodeBits)) {
        replyCode = 0;
    }
    const int serial = Category().Keep(OneLine(text));
    return {(serial << (kKindBits + kReplyCodeBits)) | (replyCode << kKindBits) |
                static_cast<int>(failure),
            Category()};
}

std::optional<FtpFailure> FtpFailureOf(std::error_code error) {
    if (error.category() != Category()) {
        return std::nullopt;
    }
    return static_cast<FtpFailure>(error.value() & ((1 << kKindBits) - 1));
}

int FtpReplyCode(std::error_code error) {
    if (error.category() != Category()) {
        return 0;
    }
    return (error.value() >> kKindBits) & ((1 << kReplyCodeBits) - 1);
}

}  // namespace arkivo::platform
