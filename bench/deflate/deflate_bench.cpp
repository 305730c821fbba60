// Times our deflate compressor at level 8 against zlib and libdeflate at level 8 on one file,
// single-threaded, and prints the compressed size ratio and the speed ratio against zlib.
//
//   deflate_bench FILE [RUNS]
//
// The streaming compressors (ours and zlib, raw deflate with a 32 KiB window as a ZIP writer
// uses it) are fed 1 MiB pieces from memory; libdeflate compresses the whole buffer in one
// call. Each run times the three one after another, and the median of the runs is reported,
// both as wall-clock time and as the CPU time of the thread (which other processes on a busy
// machine disturb less). Our output is checked by inflating it with zlib outside the timed
// part.
#include <libdeflate.h>
#include <time.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "zip/deflate/deflater.h"

namespace {

constexpr std::size_t kPiece = 1 << 20;

class CollectingSink : public arkivo::deflate::ByteSink {
  public:
    bool Write(std::span<const std::uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return true;
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

double Now(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Timing {
    std::vector<double> wall;
    std::vector<double> cpu;
};

template <typename Work>
std::size_t Timed(Timing& timing, Work work) {
    const double wall = Now(CLOCK_MONOTONIC);
    const double cpu = Now(CLOCK_THREAD_CPUTIME_ID);
    const std::size_t size = work();
    timing.cpu.push_back(Now(CLOCK_THREAD_CPUTIME_ID) - cpu);
    timing.wall.push_back(Now(CLOCK_MONOTONIC) - wall);
    return size;
}

std::size_t RunOurs(const std::vector<std::uint8_t>& input, std::vector<std::uint8_t>& output) {
    CollectingSink sink;
    sink.bytes().reserve(input.size() / 2);
    arkivo::deflate::Deflater deflater(sink);
    for (std::size_t offset = 0; offset < input.size(); offset += kPiece) {
        const std::size_t n = std::min(kPiece, input.size() - offset);
        if (!deflater.Write({input.data() + offset, n})) {
            std::fprintf(stderr, "our compressor failed\n");
            std::exit(1);
        }
    }
    if (!deflater.Finish()) {
        std::fprintf(stderr, "our compressor failed\n");
        std::exit(1);
    }
    output.swap(sink.bytes());
    return output.size();
}

std::size_t RunZlib(const std::vector<std::uint8_t>& input) {
    z_stream stream{};
    if (deflateInit2(&stream, 8, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::exit(1);
    }
    std::vector<std::uint8_t> out(kPiece);
    std::size_t total = 0;
    for (std::size_t offset = 0;; offset += kPiece) {
        const std::size_t n = std::min(kPiece, input.size() - offset);
        const bool last = offset + n >= input.size();
        stream.next_in = const_cast<Bytef*>(input.data() + offset);
        stream.avail_in = static_cast<uInt>(n);
        int status;
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            total += out.size() - stream.avail_out;
        } while (stream.avail_out == 0);
        if (last) {
            if (status != Z_STREAM_END) {
                std::exit(1);
            }
            break;
        }
    }
    deflateEnd(&stream);
    return total;
}

std::size_t RunLibdeflate(const std::vector<std::uint8_t>& input, std::vector<std::uint8_t>& out) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(8);
    const std::size_t n =
        libdeflate_deflate_compress(compressor, input.data(), input.size(), out.data(), out.size());
    libdeflate_free_compressor(compressor);
    return n;
}

bool InflatesTo(const std::vector<std::uint8_t>& compressed,
                const std::vector<std::uint8_t>& expected) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) {
        return false;
    }
    std::vector<std::uint8_t> out(expected.size() + 1);
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const std::size_t produced = out.size() - stream.avail_out;
    inflateEnd(&stream);
    return status == Z_STREAM_END && produced == expected.size() &&
           std::equal(expected.begin(), expected.end(), out.begin());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (!in || input.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::uint8_t> ours;
    std::vector<std::uint8_t> libdeflateOut(
        libdeflate_deflate_compress_bound(nullptr, input.size()));
    std::size_t oursSize = 0, zlibSize = 0, libdeflateSize = 0;
    Timing oursTimes, zlibTimes, libdeflateTimes;
    for (int run = 0; run < runs; ++run) {
        oursSize = Timed(oursTimes, [&] { return RunOurs(input, ours); });
        zlibSize = Timed(zlibTimes, [&] { return RunZlib(input); });
        libdeflateSize =
            Timed(libdeflateTimes, [&] { return RunLibdeflate(input, libdeflateOut); });
    }
    if (!InflatesTo(ours, input)) {
        std::fprintf(stderr, "our output does not inflate to the input\n");
        return 1;
    }
    const double megabytes = static_cast<double>(input.size()) / 1e6;
    std::printf("input: %s, %zu bytes, %d runs (median), MB = 10^6 bytes\n", argv[1], input.size(),
                runs);
    std::printf("%-16s %14s %9s %12s %11s\n", "compressor", "bytes", "ratio", "MB/s wall",
                "MB/s cpu");
    auto row = [&](const char* name, std::size_t size, const Timing& timing) {
        std::printf("%-16s %14zu %8.2f%% %12.1f %11.1f\n", name, size,
                    100.0 * static_cast<double>(size) / static_cast<double>(input.size()),
                    megabytes / Median(timing.wall), megabytes / Median(timing.cpu));
    };
    row("arkivo-8", oursSize, oursTimes);
    row("zlib-8", zlibSize, zlibTimes);
    row("libdeflate-8", libdeflateSize, libdeflateTimes);
    std::printf("size ratio ours/zlib:  %.4f (goal <= 1.005)\n",
                static_cast<double>(oursSize) / static_cast<double>(zlibSize));
    std::printf("speed ratio ours/zlib: %.2f wall, %.2f cpu (goal >= 1.5)\n",
                Median(zlibTimes.wall) / Median(oursTimes.wall),
                Median(zlibTimes.cpu) / Median(oursTimes.cpu));
    std::printf("round trip through zlib inflate: ok\n");
    return 0;
}
