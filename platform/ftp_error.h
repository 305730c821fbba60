// Failures of an FTP session. Every error carries its own text, the server's reply as it came
// or what went wrong on the way ("530 Login incorrect.", "timed out waiting for the server"),
// so a report can say why a file was not copied. The texts of the last thousand or so failures
// are kept; an older error still tells its kind and reply code.
#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace arkivo::platform {

enum class FtpFailure {
    Refused = 1,     // the server answered no: a 4xx or 5xx reply
    TimedOut,        // the server said nothing within the time allowed
    ConnectionLost,  // the server closed or cut a connection
    BadReply,        // the server's reply could not be understood
    Unreachable,     // no connection could be made to the server
    Unsendable,      // a name or text that no command can carry (a line break in a name)
    NotConnected,    // no session, or one that an earlier failure ended
    NotAvailable,    // this system has no FTP client yet
};

// The error for a failure, told in `text` (UTF-8). replyCode is the server's three-digit reply
// code when the failure is a reply, else 0.
std::error_code MakeFtpError(FtpFailure failure, std::string_view text, int replyCode = 0);

// What kind of FTP failure an error is; nothing for errors of any other source.
std::optional<FtpFailure> FtpFailureOf(std::error_code error);

// The server's reply code behind an FTP error (550 for a missing file), else 0.
int FtpReplyCode(std::error_code error);

}  // namespace arkivo::platform
