// The system's temporary folder moved to a folder of the test's own while this lives (TMPDIR),
// so a test can tell that the program left nothing there. POSIX only.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace arkivo::test {

class PrivateTemporaryFolder {
  public:
    PrivateTemporaryFolder() {
        if (const char* previous = std::getenv("TMPDIR")) {
            previous_ = previous;
        }
        ::setenv("TMPDIR", folder_.path().c_str(), 1);
    }
    ~PrivateTemporaryFolder() {
        if (previous_) {
            ::setenv("TMPDIR", previous_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    PrivateTemporaryFolder(const PrivateTemporaryFolder&) = delete;
    PrivateTemporaryFolder& operator=(const PrivateTemporaryFolder&) = delete;

    bool Empty() const { return std::filesystem::is_empty(folder_.path()); }
    // Leaves no temporary folder at all, as on a machine whose temporary folder is unusable.
    void Remove() { std::filesystem::remove_all(folder_.path()); }

  private:
    TempFolder folder_;
    std::optional<std::string> previous_;
};

}  // namespace arkivo::test
