#include "settings/files_together.h"

#include "common/text.h"
#include "platform/file_system.h"

namespace arkivo {
namespace {

constexpr std::string_view kRecordTitle = "arkivo pending renames";
constexpr std::string_view kRecordEnd = "end";

std::function<void(int)>& StepHook() {
    static std::function<void(int)> hook;
    return hook;
}

void Step(int& step) {
    if (StepHook()) {
        StepHook()(step);
    }
    ++step;
}

struct Rename {
    std::filesystem::path from;
    std::filesystem::path to;
};

std::string NameText(const std::filesystem::path& name) {
    return Utf16ToUtf8(platform::PathText(name));
}

std::string Record(const std::vector<Rename>& renames) {
    std::string record = std::string(kRecordTitle) + "\n";
    for (const auto& rename : renames) {
        record += NameText(rename.from.filename()) + "\t" + NameText(rename.to.filename()) + "\n";
    }
    return record + std::string(kRecordEnd) + "\n";
}

// A plain file name of the folder: the record never names anything elsewhere.
bool IsPlainName(const std::filesystem::path& name) {
    return !name.empty() && name == name.filename() && name != "." && name != "..";
}

// The renames of a complete record; none for a record that is not one of ours.
std::vector<Rename> ParseRecord(const std::filesystem::path& folder, std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    if (lines.size() < 2 || lines.front() != kRecordTitle || lines.back() != kRecordEnd) {
        return {};
    }
    std::vector<Rename> renames;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const auto tab = lines[i].find('\t');
        if (tab == std::string_view::npos) {
            return {};
        }
        const auto from = platform::PathFromText(Utf8ToUtf16(lines[i].substr(0, tab)));
        const auto to = platform::PathFromText(Utf8ToUtf16(lines[i].substr(tab + 1)));
        if (!platform::IsTemporaryName(from) || !IsPlainName(to) || platform::IsTemporaryName(to)) {
            return {};
        }
        renames.push_back({folder / from, folder / to});
    }
    return renames;
}

}  // namespace

std::error_code ReplaceFilesTogether(const std::filesystem::path& folder,
                                     const std::vector<FileReplacement>& files) {
    int step = 0;
    std::vector<Rename> renames;
    auto discard = [&renames] {
        for (const auto& rename : renames) {
            platform::RemoveFile(rename.from);
        }
    };
    for (const auto& file : files) {
        Step(step);
        std::filesystem::path temporary;
        if (auto error =
                platform::WriteTemporaryFor(file.path, file.bytes, file.privacy, temporary)) {
            discard();
            return error;
        }
        renames.push_back({temporary, file.path});
    }
    const auto record = folder / kPendingRenamesFile;
    Step(step);
    if (auto error =
            platform::ReplaceFileContents(record, Record(renames), platform::FilePrivacy::Shared)) {
        discard();
        return error;
    }
    std::error_code failure;
    for (const auto& rename : renames) {
        Step(step);
        if (auto error = platform::RenameDurably(rename.from, rename.to); error && !failure) {
            failure = error;
        }
    }
    if (failure) {
        return failure;
    }
    Step(step);
    platform::RemoveFile(record);
    return {};
}

void CompletePendingRenames(const std::filesystem::path& folder) {
    const auto record = folder / kPendingRenamesFile;
    std::string text;
    if (platform::ReadFileContents(record, text)) {
        return;
    }
    for (const auto& rename : ParseRecord(folder, text)) {
        if (platform::Exists(rename.from) && platform::RenameDurably(rename.from, rename.to)) {
            // The record stays for a later holder of the lock, who may be allowed to rename.
            return;
        }
    }
    platform::RemoveFile(record);
}

void SetReplaceStepHookForTests(std::function<void(int step)> hook) {
    StepHook() = std::move(hook);
}

}  // namespace arkivo
