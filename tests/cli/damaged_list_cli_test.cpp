// A job list damaged outside the program is named with the place of the damage, so the user
// can mend it, and it is never overwritten.
#include "common/text.h"
#include "jobs/environment_format.h"
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::ReadBytes;

using DamagedListCli = test::CliTest;

TEST_F(DamagedListCli, EveryCommandNamesTheFileTheLineAndTheFieldOfTheDamage) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "add", "/c", "/d"}).exitCode, 0);
    const auto env = home / "LastSetting.env";
    // The second job's base grows one character past what a field holds.
    std::u16string text = UndoTextModeLineEnds(ReadBytes(env));
    const auto at = text.find(u",/c,");
    ASSERT_NE(at, std::u16string::npos);
    text.replace(at, 4, u",/" + std::u16string(254, u'c') + u",");
    const std::string damaged = ApplyTextModeLineEnds(text);
    test::WriteBytes(env, damaged);

    const std::string expected = "arkivo: EF001-unknown file format: " + env.string() +
                                 ", line 8 (job 2, field 8 'base path'): more than 254 "
                                 "characters\n";
    for (const auto& command : std::vector<std::vector<std::string>>{
             {"jobs", "list"}, {"jobs", "add", "/e", "/f"}, {"run"}, {"filters", "list", "1"}}) {
        const auto refused = Arkivo(command);
        EXPECT_NE(refused.exitCode, 0) << command[0];
        test::ExpectHas(refused.err, expected);
    }
    EXPECT_EQ(ReadBytes(env), damaged);
}

}  // namespace
}  // namespace arkivo
