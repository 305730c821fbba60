#include "platform/file_system_flusher.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/temp_folder.h"

namespace arkivo {
namespace {

TEST(FileSystemFlusher, FlushesATargetMadeAfterItStartedThroughItsParent) {
    test::TempFolder folder;
    const auto target = folder / "target";
    platform::FileSystemFlusher flusher;
    ASSERT_FALSE(flusher.Start(target));
    ASSERT_FALSE(flusher.Start(target));
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
TEST(FileSystemFlusher, ATargetWhoseParentIsMissingIsReportedStartedOrNot) {
    test::TempFolder folder;
    const auto target = folder / "gone" / "target";
    platform::FileSystemFlusher started;
    EXPECT_EQ(started.Start(target), std::errc::no_such_file_or_directory);
    EXPECT_EQ(started.Finish(target), std::errc::no_such_file_or_directory);
    platform::FileSystemFlusher unstarted;
    EXPECT_EQ(unstarted.Finish(target), std::errc::no_such_file_or_directory);
}
#endif

}  // namespace
}  // namespace arkivo
