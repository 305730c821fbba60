// The destination of a differential, incremental or period job in ZIP mode: one archive named
// after the dated folder, whose entries begin with that name. No folder is made on disk, so
// no folder is removed afterwards either.
#pragma once

#include <memory>
#include <string>

#include "engine/destination.h"
#include "zip/zip_archive.h"

namespace arkivo::engine {

class RunObserver;

class ZipDestination : public Destination {
  public:
    ZipDestination(std::filesystem::path target, std::filesystem::path archive,
                   std::u16string entryPrefix, RunObserver& observer);

    std::error_code EnterFolder(const std::filesystem::path& relative,
                                const platform::FileInfo& source) override;
    // The file is read before Put returns and compressed while the walk goes on; its outcome
    // comes once its entry is in the archive or has been left out.
    void Put(const std::filesystem::path& source, const std::filesystem::path& relative,
             const platform::FileInfo& info, const platform::CopyProgress& progress,
             PutSettled settled) override;
    void Settle() override;
    void LeaveFolder(const std::filesystem::path&) override {}

    // The archive's path followed by the entry's name.
    std::filesystem::path FullPath(const std::filesystem::path& relative) const override;

    // Settles what is left, writes the directory and gives the archive its name; an archive
    // never created has nothing to finish.
    std::error_code Finish();

  private:
    std::filesystem::path target_;
    std::filesystem::path archive_;
    std::u16string entryPrefix_;
    RunObserver& observer_;
    std::unique_ptr<ZipHandle> handle_;
};

// The archive a dated run writes. A differential archive of the same minute is replaced (the
// new one holds all the old one did); an incremental or period one is not, as the second run
// holds only what changed after the first: it gets a name of its own, "…_2.zip" and on.
std::filesystem::path ChooseArchiveName(const std::filesystem::path& target,
                                        const std::u16string& datedName, bool mayReplace,
                                        std::u16string& entryPrefix);

}  // namespace arkivo::engine
