// `run --json`: one JSON object per run on standard output and nothing else there, read back
// by Python's json module. Names with quotes, control characters and bytes that are not UTF-8
// come out as valid JSON, and their exact bytes can be had back.
#include <sys/stat.h>

#include <sstream>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

// Reads the whole of standard output as one JSON document (anything else there fails it) and
// prints what the test checks, one fact a line; names as the hex of their bytes: the text's
// UTF-8, and the base64 bytes when given.
constexpr const char* kReader = R"(
import base64, json, sys
text = open(sys.argv[1], encoding='utf-8').read()
assert text.endswith('\n') and text.count('\n') == 1, 'one line'
run = json.loads(text)
for key in ('version', 'result', 'exitCode', 'dryRun', 'jobsRun', 'examined', 'copied',
            'deleted', 'failed', 'bytesWritten'):
    print(key, json.dumps(run[key]))
print('skipped', run['skipped']['dotFolders'], run['skipped']['folderLinks'],
      run['skipped']['specialFiles'])
for job in run['jobs']:
    print('job', job['job'], job['copied'], job['base'].encode().hex())
def name(item, key):
    raw = base64.b64decode(item[key + 'Bytes']).hex() if key + 'Bytes' in item else '-'
    return item[key].encode('utf-8').hex() + ' ' + raw
for failure in run['failures']:
    print('failure', name(failure, 'path'), failure['error'])
for item in run['skippedItems']:
    print('skipped-item', item['reason'], name(item, 'path'))
print('messages', len(run['messages']))
)";

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

class JsonCli : public test::CliTest {
  protected:
    // The facts the reader printed, or the reader's complaint.
    std::string Read(const std::string& out) {
        test::WriteBytes(folder / "reader.py", kReader);
        test::WriteBytes(folder / "run.json", out);
        const auto read = test::RunProgram(
            "/usr/bin/python3", {(folder / "reader.py").string(), (folder / "run.json").string()},
            {}, folder.path());
        EXPECT_EQ(read.exitCode, 0) << read.err << "\n" << out;
        return read.out;
    }

    static constexpr std::string_view kOddName = "q\"uote\ttab\nline\xff.txt";
};

TEST_F(JsonCli, OneObjectPerRunWhoseNamesKeepTheirBytes) {
    test::MakeFile(base / "a.txt", "hello");
    test::MakeFile(base / ".cache/x", "x");
    // A file under /proc says it is empty, yet reading it gives bytes: its copy fails.
    std::filesystem::create_directories(base);
    const std::string odd(kOddName);
    std::filesystem::create_symlink("/proc/self/status", base / odd);
    const std::string fifo = "fifo \"\t\n\xfe";
    ASSERT_EQ(::mkfifo((base / fifo).c_str(), 0600), 0);
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);

    const auto run = Arkivo({"run", "--json"});
    EXPECT_EQ(run.exitCode, 1);
    test::ExpectHas(run.err, "failed: ");
    const std::string facts = Read(run.out);
    for (const std::string fact :
         {"version 1", "result \"failed\"", "exitCode 1", "dryRun false", "jobsRun 1", "examined 2",
          "copied 1", "deleted 0", "failed 1", "bytesWritten 5", "skipped 1 0 1", "messages 0"}) {
        EXPECT_NE(facts.find(fact + "\n"), std::string::npos) << fact << "\n" << facts;
    }
    test::ExpectHas(facts, "job 1 1 " + Hex(base.string()) + "\n");
    // The text holds U+FFFD where a byte is not UTF-8; the bytes come back whole.
    const auto shown = [](std::string bytes, char invalid) {
        bytes.replace(bytes.find(invalid), 1, "\xef\xbf\xbd");
        return bytes;
    };
    const std::string failed = (base / odd).string();
    test::ExpectHas(facts, "failure " + Hex(shown(failed, '\xff')) + " " + Hex(failed) + " ");
    const std::string skipped = (base / fifo).string();
    test::ExpectHas(facts, "skipped-item special-file " + Hex(shown(skipped, '\xfe')) + " " +
                               Hex(skipped) + "\n");
    test::ExpectHas(facts, "skipped-item dot-folder " + Hex((base / ".cache").string()) + " -\n");
}

TEST_F(JsonCli, ADryRunTellsWhatWouldBeDoneAndAnEmptyListThatNothingRan) {
    const auto nothing = Arkivo({"run", "--json"});
    EXPECT_EQ(nothing.exitCode, 0);
    const std::string none = Read(nothing.out);
    test::ExpectHas(none, "result \"nothing-to-run\"\n");
    test::ExpectHas(none, "jobsRun 0\n");
    test::ExpectLacks(none, "job ");

    test::MakeFile(base / "a.txt", "hello");
    test::MakeFile(base / "b.txt", "hi");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto dry = Arkivo({"run", "--json", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.err, "");
    const std::string facts = Read(dry.out);
    for (const std::string fact :
         {"result \"complete\"", "dryRun true", "copied 2", "bytesWritten 7", "failed 0"}) {
        EXPECT_NE(facts.find(fact + "\n"), std::string::npos) << fact << "\n" << facts;
    }
    EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace arkivo
