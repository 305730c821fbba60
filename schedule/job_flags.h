// Per-job keys of "Setting.ini": whether auto-detect found files to copy, and whether a
// synchronisation deletes target files that have no source.
#pragma once

#include <cstddef>

namespace arkivo {

class CLangIni;

// A missing key is created as "0" in memory and in the file. The deletion switch is read from
// the file, as it decides what a run deletes; the copy flag may come from the store.
long long ReadFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex);
void WriteFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex, long long value);

long long ReadSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex);
void WriteSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex, bool on);

}  // namespace arkivo
