#include "engine/zip_destination.h"

#include "common/text.h"
#include "engine/run_observer.h"
#include "platform/error_text.h"
#include "platform/file_system.h"

namespace arkivo::engine {
namespace {

class ZipErrorCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "zip"; }
    std::string message(int code) const override {
        switch (code) {
            case ZipNoFile:
                return "the file could not be read, or the archive could not be created";
            case ZipWriteFailed:
                return "the archive could not be written";
            case ZipSourceChanged:
                return "the file changed while it was copied";
            case ZipBadArguments:
                return "the name cannot be stored in an archive";
            default:
                return "the archive writer failed";
        }
    }
};

std::error_code ZipError(ZipResult result) {
    static const ZipErrorCategory category;
    return {static_cast<int>(result), category};
}

// The system's reason when there is one, else what the writer's result says.
std::error_code Reason(ZipResult result, std::error_code systemReason) {
    return systemReason ? systemReason : ZipError(result);
}

std::u16string InParentheses(std::error_code reason) {
    return u" (" + platform::ErrorText(reason) + u")";
}

}  // namespace

ZipDestination::ZipDestination(std::filesystem::path target, std::filesystem::path archive,
                               std::u16string entryPrefix, RunObserver& observer)
    : target_(std::move(target)),
      archive_(std::move(archive)),
      entryPrefix_(std::move(entryPrefix)),
      observer_(observer) {}

std::error_code ZipDestination::EnterFolder(const std::filesystem::path& relative,
                                            const platform::FileInfo&) {
    if (!relative.empty()) {
        return {};
    }
    platform::CreateFolder(target_);
    std::error_code systemReason;
    handle_ = CreateZipArchive(archive_, &systemReason);
    if (!handle_) {
        const auto reason = Reason(ZipNoFile, systemReason);
        observer_.OnMessage(UserMessage::TextWith(
            text::ZipCreateFailed, platform::ShownPathText(archive_) + InParentheses(reason)));
        return reason;
    }
    return {};
}

void ZipDestination::Put(const std::filesystem::path& source, const std::filesystem::path& relative,
                         const platform::FileInfo&, const platform::CopyProgress& progress,
                         PutSettled settled) {
    auto done = [this, source, settled = std::move(settled)](ZipResult result,
                                                             std::error_code systemReason) {
        if (result == ZipOk) {
            settled({});
            return;
        }
        const auto reason = Reason(result, systemReason);
        observer_.OnMessage(UserMessage::TextWith(
            text::ZipAddFailed, platform::ShownPathText(source) + u" -> " +
                                    platform::ShownPathText(archive_) + InParentheses(reason)));
        settled(reason);
    };
    QueueFileForZipArchive(handle_.get(), entryPrefix_, relative, source, progress,
                           std::move(done));
}

void ZipDestination::Settle() {
    SettleZipArchive(handle_.get());
}

std::filesystem::path ZipDestination::FullPath(const std::filesystem::path& relative) const {
    const auto entries = archive_ / platform::PathFromText(entryPrefix_);
    return relative.empty() ? entries : entries / relative;
}

std::error_code ZipDestination::Finish() {
    if (!handle_) {
        return {};
    }
    std::error_code systemReason;
    const ZipResult result = CloseZipArchive(std::move(handle_), &systemReason);
    return result == ZipOk ? std::error_code() : Reason(result, systemReason);
}

std::filesystem::path ChooseArchiveName(const std::filesystem::path& target,
                                        const std::u16string& datedName, bool mayReplace,
                                        std::u16string& entryPrefix) {
    entryPrefix = datedName;
    auto archive = target / platform::PathFromText(datedName + u".zip");
    for (int n = 2; !mayReplace && platform::Exists(archive); ++n) {
        entryPrefix = datedName + u"_" + ToDecimal(n);
        archive = target / platform::PathFromText(entryPrefix + u".zip");
    }
    return archive;
}

}  // namespace arkivo::engine
