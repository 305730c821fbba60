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
            test::ExpectLacks(result.err, empty);
        }
        return result;
    }

    std::filesystem::path alone = folder / "alone";
    std::filesystem::path program = alone / "arkivo";
};

TEST_F(LoneBinaryCli, SaysEverythingInEnglishWithoutItsLanguageFiles) {
    const auto help = Lone({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    test::ExpectHas(help.out, "Usage:");
    const auto list = Lone({"jobs", "list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    test::ExpectHas(list.out, "No jobs yet");
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
    test::ExpectHas(unknown.err, "arkivo: There is no job with that number.");
    const auto run = Lone({"run"});
    EXPECT_EQ(run.exitCode, 1);
    test::ExpectHas(run.err, "arkivo: Not run: the folder above the target does not exist");
}

}  // namespace
}  // namespace arkivo
