// The program copied alone to a folder, far from its language files, still says everything in
// English: no message comes out empty.
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

class LoneBinaryCli : public test::CliTest {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(alone);
        std::filesystem::copy_file(test::kArkivo, program);
    }

    test::ProgramResult Lone(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        auto result =
            test::RunProgram(program, arguments, {"HOME=" + folder.path().string()}, alone);
        // Every message names what it is about after its text, never in place of it.
        for (const char* empty : {"arkivo: \n", "arkivo:  (", "arkivo: /"}) {
            EXPECT_EQ(result.err.find(empty), std::string::npos) << result.err;
        }
        return result;
    }

    std::filesystem::path alone = folder / "alone";
    std::filesystem::path program = alone / "arkivo";
};

TEST_F(LoneBinaryCli, SaysEverythingInEnglishWithoutItsLanguageFiles) {
    const auto help = Lone({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage:"), std::string::npos) << help.out;
    const auto list = Lone({"jobs", "list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("No jobs yet"), std::string::npos) << list.out;
    ASSERT_FALSE(std::filesystem::exists(home / "english.ini")) << "a language file was found";

    const auto first = Lone({"jobs", "add", base.string(), (folder / "drive" / "t").string()});
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.err, "arkivo: Warning: the base folder does not exist: " + base.string() +
                             "\narkivo: Warning: the folder above the target does not exist (is "
                             "the drive connected?): " +
                             (folder / "drive" / "t").string() + "\n");
    const auto again = Lone({"jobs", "add", base.string(), (folder / "drive" / "t").string()});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, "arkivo: This base and target pair is already in the job list.\n");
    const auto unknown = Lone({"jobs", "remove", "5"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("arkivo: There is no job with that number."), std::string::npos)
        << unknown.err;
    const auto run = Lone({"run"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("arkivo: Not run: the folder above the target does not exist"),
              std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace arkivo
