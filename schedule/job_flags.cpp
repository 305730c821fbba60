#include "schedule/job_flags.h"

#include "common/text.h"
#include "settings/app_stores.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

constexpr std::u16string_view kFileToCopy = u"ThereisFileToCopy";
constexpr std::u16string_view kSyncDelNoSrc = u"SyncDelNoSrc";
constexpr std::u16string_view kTakeDotFolders = u"IncludeDotFolders";

long long ReadOrCreate(CLangIni& store, std::size_t jobIndex, std::u16string_view key) {
    const auto section = JobSectionName(jobIndex);
    if (store.FindKey(store.FindSection(section), key) < 0) {
        StoreValue(store, section, key, u"0");
        return 0;
    }
    return ParseLeadingInt(store.GetValue(section, key));
}

}  // namespace

long long ReadFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex) {
    return ReadOrCreate(settingStore, jobIndex, kFileToCopy);
}

void WriteFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex, long long value) {
    StoreValue(settingStore, JobSectionName(jobIndex), kFileToCopy, ToDecimal(value));
}

long long ReadSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex) {
    return ReadOrCreate(settingStore, jobIndex, kSyncDelNoSrc);
}

void WriteSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex, bool on) {
    StoreValue(settingStore, JobSectionName(jobIndex), kSyncDelNoSrc, on ? u"1" : u"0");
    settingStore.Reload();
}

bool ReadTakeDotFolders(CLangIni& settingStore, std::size_t jobIndex) {
    return (ReadNumber(settingStore, JobSectionName(jobIndex), kTakeDotFolders) & 1) != 0;
}

void WriteTakeDotFolders(CLangIni& settingStore, std::size_t jobIndex, bool on) {
    StoreValue(settingStore, JobSectionName(jobIndex), kTakeDotFolders, on ? u"1" : u"0");
}

}  // namespace arkivo
