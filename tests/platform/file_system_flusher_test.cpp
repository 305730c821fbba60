#include "platform/file_system_flusher.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/temp_folder.h"

namespace arkivo {
namespace {

TEST(FileSystemFlusher, FlushesATargetMadeAfterItWasWatchedThroughItsParent) {
    test::TempFolder folder;
    const auto target = folder / "target";
    platform::FileSystemFlusher flusher;
    // Starting before watching has nothing to flush in the background.
    flusher.Start();
    ASSERT_FALSE(flusher.Watch(target));
    ASSERT_FALSE(flusher.Watch(target));
    flusher.Start();
    flusher.Start();
    std::filesystem::create_directories(target);
    test::WriteBytes(target / "a.txt", std::string(1 << 20, 'a'));
    // Long enough for flushes in the background while the files are written.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    test::WriteBytes(target / "b.txt", "b");
    EXPECT_FALSE(flusher.Finish(target));
    EXPECT_EQ(test::ReadBytes(target / "b.txt"), "b");

    // Finishing again, with nothing started, flushes at once.
    EXPECT_FALSE(flusher.Finish(target));
}

#ifndef _WIN32
TEST(FileSystemFlusher, ATargetWhoseParentIsMissingIsReportedWatchedOrNot) {
    test::TempFolder folder;
    const auto target = folder / "gone" / "target";
    platform::FileSystemFlusher watched;
    EXPECT_EQ(watched.Watch(target), std::errc::no_such_file_or_directory);
    watched.Start();
    EXPECT_EQ(watched.Finish(target), std::errc::no_such_file_or_directory);
    platform::FileSystemFlusher unwatched;
    EXPECT_EQ(unwatched.Finish(target), std::errc::no_such_file_or_directory);
}
#endif

}  // namespace
}  // namespace arkivo
