// The job list file read from any bytes: reading never fails badly, a damaged file is
// described, and what is written from a table read whole reads back to a table that writes
// the very same bytes. (A first save may normalise what an old file held loosely, such as a
// tick stored as "16"; from then on nothing may change.)
#include "jobs/environment_format.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace arkivo;
    JobTable table;
    EnvironmentFormatProblem problem;
    DecodeEnvironment(fuzz::AsText(data, size), table, &problem);
    if (table.loadStatus != LoadStatus::Ok) {
        fuzz::Require(!DescribeFormatProblem(problem).empty(), "a damaged file is not described");
        return 0;
    }
    const std::string written = EncodeEnvironment(table);
    JobTable reread;
    DecodeEnvironment(written, reread);
    fuzz::Require(reread.loadStatus == LoadStatus::Ok, "a written table does not read back");
    fuzz::Require(EncodeEnvironment(reread) == written, "a written table reads back different");
    return 0;
}
