// The small tree the FTP route tests send in each direction: nested folders, a file large
// enough for several blocks, and two names that differ only in letter case.
#pragma once

#include <filesystem>
#include <string>

#include "support/file_tree.h"

namespace arkivo::test {

inline void MakeFtpSampleTree(const std::filesystem::path& root) {
    MakeFile(root / "a.txt", "alpha", 1600000000);
    MakeFile(root / "docs/b.txt", "beta", 1600000100);
    MakeFile(root / "docs/deep/c.bin", std::string(200000, '\x07'), 1600000200);
    MakeFile(root / "Case.txt", "upper", 1600000300);
    MakeFile(root / "case.txt", "lower", 1600000400);
}

}  // namespace arkivo::test
