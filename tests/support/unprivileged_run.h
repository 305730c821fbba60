// A program run as a user for whom file permissions count: root passes every permission check,
// so when the tests run as root the program is started through setpriv (util-linux) as an
// unprivileged user. POSIX only.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace arkivo::test {

inline constexpr const char* kSetpriv = "/usr/bin/setpriv";

inline bool CanRunWithoutPrivileges() {
    return ::geteuid() != 0 || std::filesystem::exists(kSetpriv);
}

// The words that go before a program to run it without privileges; none when not root.
inline std::vector<std::string> UnprivilegedPrefix() {
    if (::geteuid() != 0) {
        return {};
    }
    return {kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
}

}  // namespace arkivo::test
