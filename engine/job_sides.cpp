#include "engine/job_sides.h"

#include "common/text.h"
#include "engine/clock_probe.h"
#include "engine/ftp_target.h"
#include "engine/ftp_tree.h"
#include "engine/job_context.h"
#include "engine/job_run.h"
#include "engine/job_walk.h"
#include "platform/clock.h"
#include "platform/error_text.h"
#include "platform/ftp_client.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;

// Listings of an FTP base kept between the count and the walk: some tens of MiB at most.
constexpr std::size_t kKeptBaseEntries = 200000;

struct FtpSide {
    std::u16string_view location;
    std::u16string_view user;
    std::u16string_view password;
    std::uint32_t port;
    std::uint32_t passive;
};

// " ftp://host/folder: the server's reply", as the failure texts are followed.
std::u16string LocationAndReason(std::u16string_view location, std::error_code error) {
    std::u16string text = u" ";
    text += location;
    text += u": ";
    text += platform::ErrorText(error);
    return text;
}

FtpSide BaseSide(const JobRecord& job) {
    return {job.basePath, job.baseFtpUser, job.baseFtpPassword, job.baseFtpPort,
            job.baseFtpPassive};
}

FtpSide TargetFtpSide(const JobRecord& job) {
    return {job.targetPath, job.targetFtpUser, job.targetFtpPassword, job.targetFtpPort,
            job.targetFtpPassive};
}

// The location as typed, without the "/" that may end it, so the paths shown below it read
// "ftp://host/folder/name".
std::u16string ShownRoot(std::u16string_view location) {
    std::u16string shown(location);
    while (shown.size() > 1 && shown.back() == u'/') {
        shown.pop_back();
    }
    return shown;
}

void TellUnsafeName(JobContext& job, const fs::path& folder, const platform::FtpEntry& entry) {
    if (entry.HasSafeName()) {
        // A real file this machine cannot hold under its name: not backed up, so a failure.
        // Joined as text: a path would read "a:b" as a drive on Windows.
        const fs::path file =
            platform::PathFromText(JoinRemote(platform::PathText(folder), entry.name));
        job.Refused(file, UserMessage::Fixed(u"FTP: " + platform::ShownPathText(file) +
                                             u": this system cannot give a file this name"));
        return;
    }
    const std::u16string text = u"FTP: " + platform::ShownPathText(folder) +
                                u": left out a listed name that could lead elsewhere: \"" +
                                platform::ShownPathText(platform::PathFromText(entry.name)) + u"\"";
    job.NoteLine(text);
    job.observer().OnMessage(UserMessage::Fixed(text));
}

// A connected, logged-in tree on the side's folder, or why there is none.
std::unique_ptr<FtpTree> OpenFtpTree(JobContext& job, const FtpSide& side,
                                     const TextKey& folderFailure,
                                     std::optional<SidesRefusal>& refusal) {
    const fs::path shown = platform::PathFromText(side.location);
    FtpLocation location;
    if (!ParseFtpLocation(side.location, location)) {
        refusal = SidesRefusal{
            shown, UserMessage::TextWith(text::RootBadFtpLocation, std::u16string(side.location))};
        return nullptr;
    }
    platform::FtpEndpoint endpoint;
    endpoint.host = location.host;
    endpoint.port = static_cast<std::uint16_t>(side.port);
    endpoint.user = std::u16string(side.user);
    endpoint.password = std::u16string(side.password);
    endpoint.passive = side.passive != 0;
    auto connection = platform::NewFtpConnection();
    if (auto error = connection->Connect(endpoint)) {
        refusal = SidesRefusal{
            shown,
            UserMessage::TextWith(text::FtpFailConnect, LocationAndReason(side.location, error))};
        return nullptr;
    }
    if (auto error = connection->ChangeFolder(location.path)) {
        refusal = SidesRefusal{
            shown, UserMessage::TextWith(folderFailure, LocationAndReason(side.location, error))};
        return nullptr;
    }
    return std::make_unique<FtpTree>(
        std::move(connection), location.path, ShownRoot(side.location),
        [&job](const fs::path& folder, const platform::FtpEntry& entry) {
            TellUnsafeName(job, folder, entry);
        });
}

}  // namespace

JobSides OpenJobSides(RunEnvironment& run, JobContext& job, const JobRecord& record,
                      const JobWalk& walk) {
    JobSides sides;
    const bool remoteBase = IsFtpLocation(record.basePath);
    const bool remoteTarget = IsFtpLocation(record.targetPath);
    const TextKey& folderFailure = remoteBase && remoteTarget ? text::RunFailChgFolderFtpToFtp
                                   : remoteBase               ? text::RunFailChgFolderFtpToLocal
                                                              : text::RunFailChgFolderLocalToFtp;
    if (remoteBase) {
        auto tree = OpenFtpTree(job, BaseSide(record), folderFailure, sides.refusal);
        if (!tree) {
            return sides;
        }
        if (!remoteTarget) {
            tree->RequireLocalNames();
        }
        tree->ReuseEachListingOnce(kKeptBaseEntries);
        const auto type = static_cast<BackupType>(record.backupType);
        // Incremental and period runs compare listed times with times of our clock. Measuring
        // writes to the server, which a dry run never does: it plans with the times as listed.
        if ((type == BackupType::Inc || type == BackupType::Spd) && !run.options.dryRun) {
            tree->SetTimeOffset(MeasureClockOffset(*tree->Connection(), tree->RemotePath({}),
                                                   platform::NowUnixSeconds()));
        }
        sides.base = std::move(tree);
    } else {
        sides.base = std::make_unique<LocalTree>(walk.base);
    }
    if (remoteTarget) {
        auto tree = OpenFtpTree(job, TargetFtpSide(record), folderFailure, sides.refusal);
        if (!tree) {
            return sides;
        }
        sides.target = std::make_unique<FtpTarget>(std::move(tree));
    } else {
        sides.target = std::make_unique<LocalTarget>(walk.target);
    }
    return sides;
}

}  // namespace arkivo::engine
