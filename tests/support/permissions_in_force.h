// File permissions do not bind root. Tests that need a folder they cannot read or change run
// their checks as an unprivileged user when the tests run as root. POSIX only.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace arkivo::test {

// "nobody" and "nogroup" on Debian; the ids need no entry in the user database.
inline constexpr uid_t kUnprivilegedUser = 65534;
inline constexpr gid_t kUnprivilegedGroup = 65534;

// Runs the checks with file permissions in force: in this process when it is not root, else
// in a child process that first becomes an unprivileged user, made owner of everything below
// tree. What the checks find wrong is reported as usual (by the child in the second case).
inline void WithPermissionsInForce(const std::filesystem::path& tree,
                                   const std::function<void()>& checks) {
    if (::geteuid() != 0) {
        checks();
        return;
    }
    ASSERT_EQ(::lchown(tree.c_str(), kUnprivilegedUser, kUnprivilegedGroup), 0);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
        ASSERT_EQ(::lchown(entry.path().c_str(), kUnprivilegedUser, kUnprivilegedGroup), 0)
            << entry.path();
    }
    // Output still buffered would otherwise be written twice, by both processes.
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kUnprivilegedGroup) == 0 &&
                             ::setuid(kUnprivilegedUser) == 0;
        if (dropped) {
            checks();
        }
        std::fflush(nullptr);
        ::_exit(!dropped ? 2 : ::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged checks ended abnormally";
    const int code = WEXITSTATUS(status);
    EXPECT_NE(code, 2) << "could not become an unprivileged user";
    EXPECT_NE(code, 1) << "the checks failed as an unprivileged user (above)";
}

// Takes permissions away from a file or folder for the scope of the object.
class PermissionsTaken {
  public:
    PermissionsTaken(std::filesystem::path path, std::filesystem::perms taken)
        : path_(std::move(path)), taken_(taken) {
        std::filesystem::permissions(path_, taken_, std::filesystem::perm_options::remove);
    }
    ~PermissionsTaken() {
        std::error_code ignored;
        std::filesystem::permissions(path_, taken_, std::filesystem::perm_options::add, ignored);
    }
    PermissionsTaken(const PermissionsTaken&) = delete;
    PermissionsTaken& operator=(const PermissionsTaken&) = delete;

  private:
    std::filesystem::path path_;
    std::filesystem::perms taken_;
};

}  // namespace arkivo::test
