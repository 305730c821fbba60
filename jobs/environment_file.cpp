#include "jobs/environment_file.h"

#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo {

EnvironmentFile::EnvironmentFile(std::filesystem::path path)
    : lock_(path.parent_path()), path_(std::move(path)) {}

JobTable& EnvironmentFile::Load() {
    table_ = JobTable{};
    problem_ = EnvironmentFormatProblem{};
    std::string bytes;
    error_ = platform::ReadFileContents(path_, bytes);
    if (error_) {
        table_.loadStatus = LoadStatus::CannotOpen;
        return table_;
    }
    DecodeEnvironment(bytes, table_, &problem_);
    return table_;
}

LoadStatus EnvironmentFile::Save(JobTable& table) {
    error_ = platform::ReplaceFileContents(path_, EncodeEnvironment(table),
                                           platform::FilePrivacy::OwnerOnly);
    table.loadStatus = error_ ? LoadStatus::CannotOpen : LoadStatus::Ok;
    return table.loadStatus;
}

LoadStatus EnvironmentFile::SaveTogether(JobTable& table, std::vector<FileReplacement> others) {
    others.push_back({path_, EncodeEnvironment(table), platform::FilePrivacy::OwnerOnly});
    error_ = ReplaceFilesTogether(path_.parent_path(), others);
    table.loadStatus = error_ ? LoadStatus::CannotOpen : LoadStatus::Ok;
    return table.loadStatus;
}

UserMessage EnvironmentFile::LoadProblem() const {
    if (table_.loadStatus == LoadStatus::CannotOpen && error_ &&
        error_ != std::errc::no_such_file_or_directory) {
        return FileReadFailure(path_, error_);
    }
    UserMessage message = UserMessage::Fixed(EnvironmentErrorText(table_.loadStatus));
    if (table_.loadStatus == LoadStatus::BadFormat) {
        message.detail =
            u": " + platform::PathText(path_) + u", " + DescribeFormatProblem(problem_);
    }
    return message;
}

UserMessage EnvironmentFile::SaveProblem() const {
    return FileWriteFailure(path_, error_);
}

bool EnvironmentFile::ContainsPair(std::u16string_view base, std::u16string_view target) {
    const auto& table = Load();
    return table.loadStatus == LoadStatus::Ok && TableContainsPair(table, base, target);
}

std::size_t EnvironmentFile::FindByBase(std::u16string_view path) {
    const auto& table = Load();
    return table.loadStatus == LoadStatus::Ok ? FindJobByBase(table, path) : kNoJobIndex;
}

std::size_t EnvironmentFile::FindByTarget(std::u16string_view path) {
    const auto& table = Load();
    return table.loadStatus == LoadStatus::Ok ? FindJobByTarget(table, path) : kNoJobIndex;
}

bool EnsureEnvironmentFile(const std::filesystem::path& path) {
    EnvironmentFile file(path);
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        return true;
    }
    JobTable empty;
    empty.version = kNewEnvironmentVersion;
    return file.Save(empty) == LoadStatus::Ok;
}

std::u16string_view EnvironmentErrorText(LoadStatus status) {
    switch (status) {
        case LoadStatus::CannotOpen:
            return u"EF002-There is no environment file";
        case LoadStatus::BadFormat:
            return u"EF001-unknown file format";
        case LoadStatus::OutOfMemory:
            return u"EM001-Not enough Memory";
        case LoadStatus::TooManyJobs:
            return u"EF003-The environment file holds more than 255 jobs";
        case LoadStatus::Ok:
            break;
    }
    return u"E099-unknown error";
}

}  // namespace arkivo
