#include "platform/posix/ftp/ftp_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "common/text.h"
#include "platform/clock.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/ftp/pwd_reply.h"

namespace arkivo::platform::ftp {
namespace {

constexpr std::size_t kBlockSize = 256 * 1024;
// Far beyond the listing of any real folder (a hundred thousand entries take about ten MiB);
// a server that streams without end is stopped here.
constexpr std::size_t kLongestListing = 256 * 1024 * 1024;
// The replies of a server that does not know a command at all.
constexpr int kUnknownCommand = 500;
constexpr int kNotImplemented = 502;

std::error_code SystemError() {
    return {errno, std::system_category()};
}

std::string Argument(const std::u16string& text) {
    return Utf16ToUtf8(text);
}

std::error_code WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return SystemError();
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

}  // namespace

std::error_code FtpSession::Connect(const FtpEndpoint& endpoint) {
    Close();
    connector_ = DataConnector(endpoint.passive);
    features_ = {};
    mlsdRefused_ = false;
    currentFolder_.reset();
    const auto timeout = endpoint.timeout > milliseconds(0) ? endpoint.timeout : kDefaultFtpTimeout;
    if (auto error = control_.Open(Argument(endpoint.host), endpoint.port, timeout)) {
        return error;
    }
    if (auto error = LogIn(endpoint)) {
        control_.Close();
        return error;
    }
    return {};
}

std::error_code FtpSession::LogIn(const FtpEndpoint& endpoint) {
    FtpReply reply;
    if (auto error = control_.Send("USER " + Argument(endpoint.user))) {
        return error;
    }
    if (auto error = control_.Read(reply)) {
        return error;
    }
    if (reply.code == 332) {
        return MakeFtpError(
            FtpFailure::Refused,
            "the FTP server asks for an account, which is not supported: " + reply.Text(),
            reply.code);
    }
    if (reply.IsIntermediate()) {
        if (auto error = control_.Run("PASS " + Argument(endpoint.password), 2, reply)) {
            return error;
        }
    } else if (!reply.IsCompletion()) {
        return RefusalOf(reply);
    }
    // A 230 to USER logs in without a password; a PASS now would be refused as out of order.

    // Which of the optional commands the server knows; a server that knows no FEAT has none.
    if (auto error = control_.Run("FEAT", 2, reply); !error) {
        features_ = ParseFeatures(reply.lines);
    } else if (!control_.IsOpen()) {
        return error;
    }
    // Servers that offer UTF8 may still want to be told; a refusal changes nothing we send.
    if (features_.utf8) {
        if (auto error = control_.Run("OPTS UTF8 ON", 2, reply); error && !control_.IsOpen()) {
            return error;
        }
    }
    if (auto error = control_.Run("TYPE I", 2, reply)) {
        return error;
    }
    if (auto error = LearnCurrentFolder(); error && !control_.IsOpen()) {
        return error;
    }
    return {};
}

std::error_code FtpSession::LearnCurrentFolder() {
    currentFolder_.reset();
    FtpReply reply;
    if (auto error = control_.Run("PWD", 2, reply)) {
        return error;
    }
    currentFolder_ = ParsePwdReply(reply.Text());
    if (!currentFolder_) {
        return MakeFtpError(FtpFailure::BadReply,
                            "the FTP server's current folder could not be read: " + reply.Text(),
                            reply.code);
    }
    return {};
}

std::error_code FtpSession::Simple(const std::string& command) {
    FtpReply reply;
    return control_.Run(command, 2, reply);
}

std::error_code FtpSession::ChangeFolder(const std::u16string& folder) {
    if (auto error = Simple("CWD " + Argument(folder))) {
        return error;
    }
    if (auto error = LearnCurrentFolder(); error && !control_.IsOpen()) {
        return error;
    }
    return {};
}

std::error_code FtpSession::Transfer(const std::string& command, const DataMover& move) {
    DataConnection data;
    if (auto error = connector_.Prepare(control_, data)) {
        return error;
    }
    FtpReply reply;
    if (auto error = control_.Run(command, 1, reply)) {
        return error;
    }
    std::error_code moved = data.Establish(control_);
    if (!moved) {
        moved = move(data.socket());
    }
    // Closing ends an upload; it also abandons a download we stopped, which the server then
    // answers with its final reply like any other.
    data.socket().Close();
    if (FtpFailureOf(moved) == FtpFailure::TimedOut) {
        // The server may answer later, or never: the conversation cannot go on in step.
        control_.Close();
        return moved;
    }
    if (auto error = control_.Read(reply)) {
        return moved ? moved : error;
    }
    if (!reply.IsCompletion()) {
        // Our own failure (a full disk) says more than the server's reply to it.
        return moved && moved.category() == std::system_category() ? moved : RefusalOf(reply);
    }
    return moved;
}

std::error_code FtpSession::ReceiveAll(
    Socket& data, const std::function<std::error_code(const char*, std::size_t)>& take) {
    std::vector<char> buffer(kBlockSize);
    for (;;) {
        std::size_t received = 0;
        if (auto error =
                data.ReceiveSome(buffer.data(), buffer.size(), control_.timeout(), received)) {
            return error;
        }
        if (received == 0) {
            return std::error_code();
        }
        if (auto error = take(buffer.data(), received)) {
            return error;
        }
    }
}

std::error_code FtpSession::Fetch(const std::string& command, std::string& bytes) {
    bytes.clear();
    return Transfer(command, [&](Socket& data) {
        return ReceiveAll(data, [&](const char* received, std::size_t size) {
            if (bytes.size() + size > kLongestListing) {
                return MakeFtpError(FtpFailure::BadReply, "the FTP server's listing is too long");
            }
            bytes.append(received, size);
            return std::error_code();
        });
    });
}

std::error_code FtpSession::ListWithList(const std::string& folder, std::string& bytes) {
    if (folder.empty()) {
        return Fetch("LIST", bytes);
    }
    // LIST takes its argument as options or a pattern on many servers, so a name starting with
    // "-" or holding "*" would list something else: list the folder from inside it instead.
    if (!currentFolder_) {
        if (auto error = LearnCurrentFolder()) {
            return error;
        }
    }
    const std::string back = *currentFolder_;
    if (auto error = Simple("CWD " + folder)) {
        return error;
    }
    const auto listed = Fetch("LIST", bytes);
    const auto returned = Simple("CWD " + back);
    return listed ? listed : returned;
}

std::error_code FtpSession::List(const std::u16string& folder, FtpListing& listing) {
    listing = {};
    const std::string name = Argument(folder);
    std::string bytes;
    if (features_.mlst && !mlsdRefused_) {
        const auto error = Fetch(name.empty() ? "MLSD" : "MLSD " + name, bytes);
        if (!error) {
            listing = ReadListing(bytes, ListingStyle::Mlsd, NowUnixSeconds());
            return {};
        }
        const int code = FtpReplyCode(error);
        if (code != kUnknownCommand && code != kNotImplemented) {
            return error;
        }
        mlsdRefused_ = true;
    }
    if (auto error = ListWithList(name, bytes)) {
        return error;
    }
    listing = ReadListing(bytes, ListingStyle::List, NowUnixSeconds());
    return {};
}

std::error_code FtpSession::Get(const std::u16string& remote,
                                const std::filesystem::path& localPath,
                                const CopyProgress& progress) {
    posix::FileDescriptor file(
        ::open(localPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        return SystemError();
    }
    auto error = Transfer("RETR " + Argument(remote), [&](Socket& data) {
        std::uint64_t done = 0;
        return ReceiveAll(data, [&](const char* received, std::size_t size) {
            if (auto error = WriteAll(file.get(), received, size)) {
                return error;
            }
            done += size;
            if (progress) {
                progress(done);
            }
            return std::error_code();
        });
    });
    if (!file.Close() && !error) {
        error = SystemError();
    }
    if (error) {
        ::unlink(localPath.c_str());
    }
    return error;
}

std::error_code FtpSession::Put(const std::filesystem::path& localPath,
                                const std::u16string& remote, const CopyProgress& progress) {
    posix::FileDescriptor file(::open(localPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return SystemError();
    }
    return Transfer("STOR " + Argument(remote), [&](Socket& data) {
        std::vector<char> buffer(kBlockSize);
        std::uint64_t done = 0;
        for (;;) {
            const ssize_t count = ::read(file.get(), buffer.data(), buffer.size());
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return SystemError();
            }
            if (count == 0) {
                return std::error_code();
            }
            if (auto error = data.SendAll({buffer.data(), static_cast<std::size_t>(count)},
                                          control_.timeout())) {
                return error;
            }
            done += static_cast<std::uint64_t>(count);
            if (progress) {
                progress(done);
            }
        }
    });
}

std::error_code FtpSession::MakeFolder(const std::u16string& folder) {
    return Simple("MKD " + Argument(folder));
}

std::error_code FtpSession::RemoveFolder(const std::u16string& folder) {
    return Simple("RMD " + Argument(folder));
}

std::error_code FtpSession::Delete(const std::u16string& file) {
    return Simple("DELE " + Argument(file));
}

std::error_code FtpSession::Rename(const std::u16string& from, const std::u16string& to) {
    FtpReply reply;
    if (auto error = control_.Run("RNFR " + Argument(from), 3, reply)) {
        return error;
    }
    return Simple("RNTO " + Argument(to));
}

void FtpSession::Close() {
    if (control_.IsOpen()) {
        FtpReply reply;
        if (!control_.Send("QUIT")) {
            control_.Read(reply);
        }
    }
    control_.Close();
}

}  // namespace arkivo::platform::ftp
