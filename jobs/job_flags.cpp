#include "jobs/job_flags.h"

#include "common/text.h"
#include "settings/app_stores.h"
#include "settings/data_folder_lock.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

constexpr std::u16string_view kFileToCopy = u"ThereisFileToCopy";
constexpr std::u16string_view kSyncDelNoSrc = u"SyncDelNoSrc";
constexpr std::u16string_view kTakeDotFolders = u"IncludeDotFolders";

bool HasKey(CLangIni& store, const std::u16string& section, std::u16string_view key) {
    return store.FindKey(store.FindSection(section), key) >= 0;
}

// The key is created only when the file lacks it, so a value another process stored since the
// store was read is never overwritten by the "0" of a missing key. A reading that decides
// what a run does takes the file's value; a display may take the store's.
long long ReadOrCreate(CLangIni& store, std::size_t jobIndex, std::u16string_view key,
                       bool fromFile) {
    const auto section = JobSectionName(jobIndex);
    if (fromFile || !HasKey(store, section, key)) {
        const DataFolderLock lock(store.Path().parent_path());
        store.Reread();
        if (!HasKey(store, section, key)) {
            StoreValue(store, section, key, u"0");
            return 0;
        }
    }
    return ParseLeadingInt(store.GetValue(section, key));
}

}  // namespace

long long ReadFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex) {
    return ReadOrCreate(settingStore, jobIndex, kFileToCopy, false);
}

void WriteFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex, long long value) {
    StoreValue(settingStore, JobSectionName(jobIndex), kFileToCopy, ToDecimal(value));
}

bool IsMarkedToCopy(CLangIni& settingStore, std::size_t jobIndex) {
    return ReadNumber(settingStore, JobSectionName(jobIndex), kFileToCopy) == 1;
}

long long ReadSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex) {
    return ReadOrCreate(settingStore, jobIndex, kSyncDelNoSrc, true);
}

bool WriteSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex, bool on) {
    const DataFolderLock lock(settingStore.Path().parent_path());
    const bool written =
        StoreValue(settingStore, JobSectionName(jobIndex), kSyncDelNoSrc, on ? u"1" : u"0");
    settingStore.Reread();
    return written;
}

bool ReadTakeDotFolders(CLangIni& settingStore, std::size_t jobIndex) {
    return (ReadNumber(settingStore, JobSectionName(jobIndex), kTakeDotFolders) & 1) != 0;
}

bool WriteTakeDotFolders(CLangIni& settingStore, std::size_t jobIndex, bool on) {
    return StoreValue(settingStore, JobSectionName(jobIndex), kTakeDotFolders, on ? u"1" : u"0");
}

}  // namespace arkivo
