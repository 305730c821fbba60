// An FTP side of a job, reached through one control connection that stays open for the whole
// job: no login per file.
//
// Remote paths and names are text; they travel as UTF-8, the encoding every current server
// speaks. A path is taken by the server as it is, relative to the current folder unless it
// starts with "/". Every failure is an error of platform/ftp_error.h whose text tells why,
// in the server's own words when it answered ("530 Login incorrect."). A failure that leaves
// the session in an unknown state (a timeout, a cut connection, a reply that makes no sense)
// ends it: later calls fail with FtpFailure::NotConnected until Connect succeeds again.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_time.h"
#include "platform/file_system.h"
#include "platform/ftp_error.h"

namespace arkivo::platform {

inline constexpr std::chrono::milliseconds kDefaultFtpTimeout{30000};

struct FtpEndpoint {
    std::u16string host;
    std::uint16_t port = 21;
    std::u16string user;
    std::u16string password;
    // Passive: we open the data connections (what works through firewalls and NAT). Active:
    // the server connects back to us.
    bool passive = true;
    // The longest wait for a connection to be made and for each reply or block of data; the
    // default when not positive.
    std::chrono::milliseconds timeout = kDefaultFtpTimeout;
};

enum class FtpEntryKind : std::uint8_t {
    File,
    Folder,
    Link,   // a symbolic link whose target the listing does not tell
    Other,  // anything else the server lists (a device, a listing's own "." typed as such)
};

// How far an entry's lastWriteTime can be trusted.
enum class FtpTimePrecision : std::uint8_t {
    Exact,  // UTC, to the second or finer (MLSD)
    // From a LIST line: in the server's own time zone, which FTP does not tell, and to the
    // minute ("Jan 01 10:15", the year inferred) or to the day ("Jan 01 2026").
    Minute,
    Day,
    None,  // the server gave no time; lastWriteTime is 0
};

// Why a listed name must not be used as a local or remote name: a name like this could lead
// outside the folder being copied, or name a different file than the server meant.
enum class FtpNameProblem : std::uint8_t {
    None,
    DotName,    // "." or ".."
    Separator,  // holds "/" or "\"
    Nul,        // holds a NUL character
    NotUtf8,    // not valid UTF-8, so it cannot be named back to the server as it came
};

struct FtpEntry {
    std::u16string name;  // exactly as the server sent it (invalid UTF-8 shown as U+FFFD)
    FtpEntryKind kind = FtpEntryKind::File;
    std::uint64_t size = 0;
    FileTime lastWriteTime = 0;
    FtpTimePrecision timePrecision = FtpTimePrecision::None;
    FtpNameProblem nameProblem = FtpNameProblem::None;

    bool IsFolder() const { return kind == FtpEntryKind::Folder; }
    bool HasSafeName() const { return nameProblem == FtpNameProblem::None; }
};

struct FtpListing {
    // In the server's order; the entries with an unsafe name are kept, marked, so the caller
    // can report them.
    std::vector<FtpEntry> entries;
    // Lines that describe no entry (garbage, a "total 12" line): left out, counted.
    std::size_t unreadableLines = 0;
};

class FtpConnection {
  public:
    virtual ~FtpConnection() = default;

    // Connects, logs in and sets binary transfers. An open session is closed first.
    virtual std::error_code Connect(const FtpEndpoint& endpoint) = 0;
    virtual bool IsConnected() const = 0;

    virtual std::error_code ChangeFolder(const std::u16string& folder) = 0;

    // The entries of folder ("" for the current folder), never "." and ".." as the listing's
    // own folder and its parent when the server says that is what they are.
    virtual std::error_code List(const std::u16string& folder, FtpListing& listing) = 0;

    // Writes the remote file to localPath, creating or truncating it; on failure localPath is
    // removed. The caller chooses the name (a temporary one to rename when complete).
    virtual std::error_code Get(const std::u16string& remote,
                                const std::filesystem::path& localPath,
                                const CopyProgress& progress = {}) = 0;

    // Stores localPath under the remote name, replacing a file there.
    virtual std::error_code Put(const std::filesystem::path& localPath,
                                const std::u16string& remote,
                                const CopyProgress& progress = {}) = 0;

    virtual std::error_code MakeFolder(const std::u16string& folder) = 0;
    virtual std::error_code RemoveFolder(const std::u16string& folder) = 0;  // an empty one
    virtual std::error_code Delete(const std::u16string& file) = 0;
    virtual std::error_code Rename(const std::u16string& from, const std::u16string& to) = 0;

    // Says goodbye to the server and closes the connection; the destructor just closes it.
    virtual void Close() = 0;
};

// A connection not yet connected.
std::unique_ptr<FtpConnection> NewFtpConnection();

}  // namespace arkivo::platform
