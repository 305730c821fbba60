// Per-job keys of "Setting.ini": whether auto-detect found files to copy, whether a
// synchronisation deletes target files that have no source, and whether folders whose names
// begin with "." are backed up. The writers tell whether the file took the value (the store's
// LastWriteError says why not).
#pragma once

#include <cstddef>

namespace arkivo {

class CLangIni;

// A missing key is created as "0" in memory and in the file. The deletion switch is read from
// the file, as it decides what a run deletes; the copy flag may come from the store.
long long ReadFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex);
void WriteFileToCopyFlag(CLangIni& settingStore, std::size_t jobIndex, long long value);
// Whether the store marks the job (its key is "1"); creates nothing, for showing the mark.
bool IsMarkedToCopy(CLangIni& settingStore, std::size_t jobIndex);

long long ReadSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex);
bool WriteSyncDelNoSrc(CLangIni& settingStore, std::size_t jobIndex, bool on);

// Off (the key missing) by default: such folders hold a program's own state more often than
// the user's files, but a user may want them (.ssh, .config, a project's .git).
bool ReadTakeDotFolders(CLangIni& settingStore, std::size_t jobIndex);
bool WriteTakeDotFolders(CLangIni& settingStore, std::size_t jobIndex, bool on);

}  // namespace arkivo
