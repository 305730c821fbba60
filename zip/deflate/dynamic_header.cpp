#include "zip/deflate/dynamic_header.h"

#include <algorithm>

#include "zip/deflate/huffman_code.h"

namespace arkivo::deflate {
namespace {

constexpr unsigned kMinLitLenCount = 257;
constexpr unsigned kMinDistanceCount = 1;
constexpr unsigned kMinCodeLengthCount = 4;

constexpr unsigned ExtraBits(unsigned symbol) {
    return symbol == kRepeatPrevious    ? 2
           : symbol == kRepeatZeroShort ? 3
           : symbol == kRepeatZeroLong  ? 7
                                        : 0;
}

unsigned TrimmedCount(std::span<const std::uint8_t> lengths, unsigned minimum) {
    unsigned count = static_cast<unsigned>(lengths.size());
    while (count > minimum && lengths[count - 1] == 0) {
        --count;
    }
    return count;
}

}  // namespace

// The two code length lists form one sequence, so a run may cross from one into the other.
void DynamicHeader::AddRuns(std::span<const std::uint8_t> lengths) {
    auto add = [this](unsigned symbol, unsigned extra) {
        items_[itemCount_++] = {static_cast<std::uint8_t>(symbol),
                                static_cast<std::uint8_t>(extra)};
    };
    std::size_t i = 0;
    while (i < lengths.size()) {
        const unsigned length = lengths[i];
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == length) {
            ++run;
        }
        i += run;
        if (length == 0) {
            while (run >= 11) {
                const std::size_t n = std::min<std::size_t>(run, 138);
                add(kRepeatZeroLong, static_cast<unsigned>(n - 11));
                run -= n;
            }
            if (run >= 3) {
                add(kRepeatZeroShort, static_cast<unsigned>(run - 3));
                run = 0;
            }
        } else {
            add(length, 0);
            --run;
            while (run >= 3) {
                const std::size_t n = std::min<std::size_t>(run, 6);
                add(kRepeatPrevious, static_cast<unsigned>(n - 3));
                run -= n;
            }
        }
        for (; run > 0; --run) {
            add(length, 0);
        }
    }
}

bool DynamicHeader::Build(std::span<const std::uint8_t> litLenLengths,
                          std::span<const std::uint8_t> distanceLengths) {
    litLenCount_ = TrimmedCount(litLenLengths, kMinLitLenCount);
    distanceCount_ = TrimmedCount(distanceLengths, kMinDistanceCount);
    std::array<std::uint8_t, kNumLitLenSymbols + kNumDistanceSymbols> sequence{};
    std::copy_n(litLenLengths.begin(), litLenCount_, sequence.begin());
    std::copy_n(distanceLengths.begin(), distanceCount_, sequence.begin() + litLenCount_);
    itemCount_ = 0;
    AddRuns({sequence.data(), litLenCount_ + distanceCount_});

    std::array<std::uint32_t, kNumCodeLengthSymbols> frequencies{};
    for (std::size_t i = 0; i < itemCount_; ++i) {
        ++frequencies[items_[i].symbol];
    }
    if (!BuildCodeLengths(frequencies, kMaxCodeLengthCodeLength, codeLengthLengths_)) {
        return false;
    }
    BuildCanonicalCodes(codeLengthLengths_, codeLengthCodes_);

    codeLengthCount_ = kNumCodeLengthSymbols;
    while (codeLengthCount_ > kMinCodeLengthCount &&
           codeLengthLengths_[kCodeLengthOrder[codeLengthCount_ - 1]] == 0) {
        --codeLengthCount_;
    }
    bitCount_ = 5 + 5 + 4 + 3 * codeLengthCount_;
    for (unsigned symbol = 0; symbol < kNumCodeLengthSymbols; ++symbol) {
        bitCount_ += static_cast<std::uint64_t>(frequencies[symbol]) *
                     (codeLengthLengths_[symbol] + ExtraBits(symbol));
    }
    return true;
}

bool DynamicHeader::Write(BitWriter& writer) const {
    // 14 bits of counts, 57 of code-length lengths and at most 14 bits per item.
    if (!writer.Reserve(16 + itemCount_ * 2)) {
        return false;
    }
    writer.AddBits(litLenCount_ - kMinLitLenCount, 5);
    writer.AddBits(distanceCount_ - kMinDistanceCount, 5);
    writer.AddBits(codeLengthCount_ - kMinCodeLengthCount, 4);
    writer.CommitBytes();
    for (unsigned i = 0; i < codeLengthCount_; ++i) {
        writer.AddBits(codeLengthLengths_[kCodeLengthOrder[i]], 3);
        writer.CommitBytes();
    }
    for (std::size_t i = 0; i < itemCount_; ++i) {
        const Item item = items_[i];
        writer.AddBits(codeLengthCodes_[item.symbol], codeLengthLengths_[item.symbol]);
        writer.AddBits(item.extra, ExtraBits(item.symbol));
        writer.CommitBytes();
    }
    return !writer.failed();
}

}  // namespace arkivo::deflate
