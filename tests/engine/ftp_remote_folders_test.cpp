// The sub-folders a real server's folder offers for browsing: folders only, in name order,
// never a hidden one or one whose name could lead elsewhere; from MLSD and from LIST alike.
#include <gtest/gtest.h>

#include <fstream>

#include "common/text.h"
#include "engine/remote_folders.h"
#include "platform/ftp_error.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::u16string>;

class FtpRemoteFoldersTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        const fs::path root = folder_.path();
        for (const char* name : {"b", "a", "C", ".hidden", "..two dots", "a\\b", "a/inner",
                                 "a/inner/deeper", "a/.secret", "a/other"}) {
            fs::create_directories(root / name);
        }
        fs::create_directory(root / "\xe6\x97\xa5\xe6\x9c\xac");
        std::ofstream(root / "file.txt") << "x";
        std::ofstream(root / "a" / "note.txt") << "x";
        server_ = std::make_unique<test::FtpTestServer>(
            root, GetParam() ? std::vector<std::string>{} : std::vector<std::string>{"--no-mlsd"});
        connection_ = platform::NewFtpConnection();
        ASSERT_FALSE(connection_->Connect(server_->Endpoint())) << server_->Log();
    }

    Names Subfolders(const std::u16string& folder) {
        Names names{u"left over"};
        const auto error = ListSubfolders(*connection_, folder, names);
        EXPECT_FALSE(error) << error.message() << "\n" << server_->Log();
        return names;
    }

    test::TempFolder folder_;
    std::unique_ptr<test::FtpTestServer> server_;
    std::unique_ptr<platform::FtpConnection> connection_;
};

TEST_P(FtpRemoteFoldersTest, TheRootOffersItsFoldersInOrderWithoutHiddenOrUnsafeNames) {
    EXPECT_EQ(Subfolders(u"/"), (Names{u"C", u"a", u"b", u"\u65e5\u672c"}));
}

TEST_P(FtpRemoteFoldersTest, AFolderDownTheTreeIsListedByItsRemotePath) {
    EXPECT_EQ(Subfolders(RemotePath({u"a"})), (Names{u"inner", u"other"}));
    EXPECT_EQ(Subfolders(RemotePath({u"a", u"inner"})), (Names{u"deeper"}));
    EXPECT_EQ(Subfolders(RemotePath({u"a", u"inner", u"deeper"})), Names{});
    EXPECT_EQ(Subfolders(RemotePath({u"\u65e5\u672c"})), Names{});
}

TEST_P(FtpRemoteFoldersTest, AFolderMadeAfterTheFirstListingAppearsInTheNext) {
    EXPECT_EQ(Subfolders(u"/a/other"), Names{});
    fs::create_directory(folder_.path() / "a" / "other" / "new");
    EXPECT_EQ(Subfolders(u"/a/other"), Names{u"new"});
}

TEST_P(FtpRemoteFoldersTest, AMissingFolderIsTheServersRefusalAndNoNames) {
    Names names{u"left over"};
    const auto error = ListSubfolders(*connection_, u"/no such folder", names);
    ASSERT_TRUE(error);
    EXPECT_EQ(platform::FtpFailureOf(error), platform::FtpFailure::Refused) << error.message();
    EXPECT_TRUE(names.empty());
}

TEST_P(FtpRemoteFoldersTest, ALevelHoldsEachFolderWithTheFoldersInsideIt) {
    FolderLevel level;
    ASSERT_FALSE(ListFolderLevel(*connection_, u"/", level)) << server_->Log();
    EXPECT_EQ(level.names, (Names{u"C", u"a", u"b", u"\u65e5\u672c"}));
    EXPECT_EQ(level.subfolders, (std::vector<Names>{{}, {u"inner", u"other"}, {}, {}}));

    ASSERT_FALSE(ListFolderLevel(*connection_, u"/a", level)) << server_->Log();
    EXPECT_EQ(level.names, (Names{u"inner", u"other"}));
    EXPECT_EQ(level.subfolders, (std::vector<Names>{{u"deeper"}, {}}));
}

TEST_P(FtpRemoteFoldersTest, ALevelFailsWhenItsFolderCannotBeListedOrTheSessionEnds) {
    FolderLevel level;
    level.names = {u"left over"};
    EXPECT_TRUE(ListFolderLevel(*connection_, u"/no such folder", level));
    EXPECT_TRUE(level.names.empty());

    server_.reset();
    level.names = {u"left over"};
    EXPECT_TRUE(ListFolderLevel(*connection_, u"/a", level));
    EXPECT_TRUE(level.names.empty());
    EXPECT_TRUE(level.subfolders.empty());
}

INSTANTIATE_TEST_SUITE_P(ListingForms, FtpRemoteFoldersTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Mlsd" : "List"; });

}  // namespace
}  // namespace arkivo::engine
