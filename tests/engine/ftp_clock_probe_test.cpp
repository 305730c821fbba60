// The clock probe against a real server whose clock is off, whose listing leaves the probe out,
// and whose listing fails: the offset it gives, and the server left as it was.
#include <gtest/gtest.h>

#include "engine/clock_probe.h"
#include "platform/clock.h"
#include "support/file_tree.h"
#include "support/ftp_server.h"

namespace arkivo::engine {
namespace {

using test::FileContents;
using test::FtpTestServer;
using test::MakeFile;
using test::TempFolder;

struct Probed {
    std::int64_t offset = -1;
    std::map<std::string, std::string> left;  // what the served folder holds afterwards
};

Probed Probe(const std::vector<std::string>& options) {
    TempFolder served;
    MakeFile(served / "data/kept.txt", "kept");
    FtpTestServer server(served.path(), options);
    auto ftp = platform::NewFtpConnection();
    EXPECT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    Probed probed;
    probed.offset = MeasureClockOffset(*ftp, u"/data", platform::NowUnixSeconds());
    probed.left = FileContents(served.path());
    return probed;
}

TEST(FtpClockProbe, OffsetIsHowFarTheServerIsBehindAndNeverNegative) {
    const std::map<std::string, std::string> untouched = {{"data/kept.txt", "kept"}};
    // A second may pass between our reading of the clock and the server's.
    const auto behind = Probe({"--skew", "-600"});
    EXPECT_GE(behind.offset, 599);
    EXPECT_LE(behind.offset, 601);
    EXPECT_EQ(behind.left, untouched);

    const auto ahead = Probe({"--skew", "600"});
    EXPECT_EQ(ahead.offset, 0);
    EXPECT_EQ(ahead.left, untouched);
}

TEST(FtpClockProbe, NoOffsetWhenTheListingLacksTheProbeOrFailsAndTheProbeIsRemovedEither) {
    // A listing of made-up names never holds the probe.
    const auto unseen = Probe({"--skew", "-600", "--hostile"});
    EXPECT_EQ(unseen.offset, 0);
    EXPECT_EQ(unseen.left, (std::map<std::string, std::string>{{"data/kept.txt", "kept"}}));

    const auto unlisted = Probe({"--skew", "-600", "--drop", "MLSD,LIST,NLST"});
    EXPECT_EQ(unlisted.offset, 0);
    EXPECT_EQ(unlisted.left, (std::map<std::string, std::string>{{"data/kept.txt", "kept"}}));
}

}  // namespace
}  // namespace arkivo::engine
