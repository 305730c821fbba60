// Pause, resume and stop from another thread, and one run at a time.
#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

#include "engine/progress_scale.h"
#include "support/engine_fixture.h"
#include "support/numbered_name.h"

namespace arkivo {
namespace {

using test::MakeFile;

// Holds the worker inside a callback until the test lets it go.
class Gate {
  public:
    void WaitHere() {
        std::unique_lock lock(mutex_);
        arrived_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void WaitUntilArrived() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return arrived_; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool arrived_ = false;
    bool open_ = false;
};

void WaitUntilPaused(const engine::RunController& control) {
    for (int i = 0; i < 500 && !control.IsPaused(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

class RunControl : public test::EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (int i = 0; i < 20; ++i) {
            MakeFile(base / test::NumberedName("f", i, ".txt"), "x");
        }
        AddJob(base, target);
    }
};

TEST_F(RunControl, AStartWhileAStoppedRunIsFinishingStartsNoSecondRun) {
    Gate gate;
    int started = 0;
    observer.onJobStarted = [&](std::size_t) {
        ++started;
        gate.WaitHere();
    };
    engine::RunController control;
    ASSERT_TRUE(control.Start(stores, observer));
    gate.WaitUntilArrived();
    control.Stop();
    EXPECT_TRUE(control.IsRunning());
    EXPECT_FALSE(control.Start(stores, observer));
    gate.Open();
    const auto summary = control.Wait();
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(summary.stopped);
    EXPECT_FALSE(control.IsRunning());
    // Once the worker has ended, a new run can start.
    observer.onJobStarted = nullptr;
    EXPECT_TRUE(control.Start(stores, observer));
    EXPECT_TRUE(control.Wait().Succeeded());
}

TEST_F(RunControl, APausedRunWaitsWithoutAdvancingUntilResumed) {
    engine::RunController control;
    std::atomic<int> copied{0};
    observer.onFile = [&](const std::filesystem::path&) {
        if (++copied == 3) {
            control.Pause();
        }
    };
    ASSERT_TRUE(control.Start(stores, observer));
    WaitUntilPaused(control);
    // Give a spinning or ignoring walker every chance to move on.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_TRUE(control.IsPaused());
    EXPECT_EQ(copied.load(), 3);
    {
        std::lock_guard lock(observer.mutex);
        EXPECT_EQ(observer.pauses, (std::vector<bool>{true}));
    }
    control.Resume();
    const auto summary = control.Wait();
    EXPECT_TRUE(summary.Succeeded());
    EXPECT_EQ(copied.load(), 20);
    EXPECT_EQ(observer.pauses, (std::vector<bool>{true, false}));
}

// Start on a paused run resumes it, and stop ends a paused run.
TEST_F(RunControl, StartWhilePausedOnlyResumesAndStopEndsAPausedRun) {
    engine::RunController control;
    observer.onFile = [&](const std::filesystem::path&) {
        if (observer.files.size() <= 2) {
            control.Pause();
        }
    };
    ASSERT_TRUE(control.Start(stores, observer));
    WaitUntilPaused(control);
    EXPECT_FALSE(control.Start(stores, observer));
    // Resumed, the run pauses again at its second file.
    WaitUntilPaused(control);
    control.Stop();
    const auto summary = control.Wait();
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(observer.files.size(), 2u);
    EXPECT_EQ(observer.startedJobs.size(), 1u);
}

TEST(ProgressScale, LargeCountsAreScaledNotWrapped) {
    const engine::ProgressScale small(40);
    EXPECT_EQ(small.Range(), 40);
    EXPECT_EQ(small.Position(41), 40);
    const engine::ProgressScale large(70000);
    EXPECT_EQ(large.Range(), 65535);
    EXPECT_EQ(large.Position(70000), 65535);
    EXPECT_EQ(large.Position(35000), 32767);
    std::uint16_t last = 0;
    for (std::uint64_t done = 0; done <= 70000; done += 997) {
        EXPECT_GE(large.Position(done), last);
        last = large.Position(done);
    }
    const engine::ProgressScale huge(5000000000ULL);
    EXPECT_EQ(huge.Position(5000000000ULL), 65535);
    EXPECT_EQ(huge.Position(2500000000ULL), 32767);
}

}  // namespace
}  // namespace arkivo
