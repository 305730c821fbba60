#include "zip/deflate/inflater.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {
namespace {

constexpr std::size_t kOutputSize = 1 << 18;
// Long copies move 8 bytes at a time and may write up to 7 bytes past their end.
constexpr std::size_t kCopySlack = 8;

}  // namespace

// The decoded bytes: a buffer that is handed to the sink when full, keeping its last window's
// worth of bytes for the matches that follow.
class Inflater::Output {
  public:
    Output(std::vector<std::uint8_t>& buffer, ByteSink& sink, std::uint64_t limit)
        : buffer_(buffer), sink_(sink), limit_(limit) {}

    // Room for n more bytes (n <= kMaxMatch or a stored piece of at most kWindowSize).
    bool MakeRoom(std::size_t n) {
        if (next_ + n <= kOutputSize) {
            return true;
        }
        if (!Flush()) {
            return false;
        }
        std::memmove(buffer_.data(), buffer_.data() + next_ - kWindowSize, kWindowSize);
        next_ = flushed_ = kWindowSize;
        return true;
    }

    bool Flush() {
        if (next_ > flushed_ && !sink_.Write({buffer_.data() + flushed_, next_ - flushed_})) {
            return false;
        }
        flushed_ = next_;
        return true;
    }

    void PutLiteral(std::uint8_t byte) {
        buffer_[next_++] = byte;
        ++total_;
    }

    // False for a distance that reaches before the start of the stream.
    bool Copy(unsigned length, unsigned distance) {
        if (distance > total_) {
            return false;
        }
        std::uint8_t* out = buffer_.data() + next_;
        // A copy from closer than 8 bytes repeats a short pattern. Once its first period of
        // at least 8 bytes is written byte by byte, the rest copies 8 bytes at a time from
        // that period back.
        unsigned period = distance;
        unsigned done = 0;
        if (distance < 8) {
            period = distance * ((8 + distance - 1) / distance);
            for (; done < period && done < length; ++done) {
                out[done] = *(out + done - distance);
            }
        }
        for (; done < length; done += 8) {
            std::memcpy(out + done, out + done - period, 8);
        }
        next_ += length;
        total_ += length;
        return true;
    }

    std::span<std::uint8_t> Reserve(std::size_t n) { return {buffer_.data() + next_, n}; }
    void Commit(std::size_t n) {
        next_ += n;
        total_ += n;
    }

    std::uint64_t total() const { return total_; }
    bool PastLimit() const { return total_ > limit_; }

  private:
    std::vector<std::uint8_t>& buffer_;
    ByteSink& sink_;
    const std::uint64_t limit_;
    std::size_t next_ = 0;
    std::size_t flushed_ = 0;
    std::uint64_t total_ = 0;
};

Inflater::Inflater() : window_(kOutputSize + kCopySlack) {
    std::array<std::uint8_t, kNumFixedLitLenSymbols> litLen{};
    for (unsigned s = 0; s < kNumFixedLitLenSymbols; ++s) {
        litLen[s] = static_cast<std::uint8_t>(FixedLitLenLength(s));
    }
    std::array<std::uint8_t, kNumFixedDistanceSymbols> distance{};
    distance.fill(kFixedDistanceLength);
    fixedLitLen_.Build(litLen);
    fixedDistance_.Build(distance);
}

InflateResult Inflater::Inflate(ByteSource& source, ByteSink& sink, std::uint64_t outputLimit) {
    BitReader reader(source);
    Output output(window_, sink, outputLimit);
    InflateResult result = InflateResult::Ok;
    bool final = false;
    while (!final && result == InflateResult::Ok) {
        reader.Refill();
        final = reader.Take(1) != 0;
        switch (static_cast<BlockType>(reader.Take(2))) {
            case BlockType::Stored:
                result = DecodeStored(reader, output);
                break;
            case BlockType::Fixed:
                result = DecodeHuffman(reader, output, fixedLitLen_, fixedDistance_);
                break;
            case BlockType::Dynamic:
                result = ReadDynamicCodes(reader);
                if (result == InflateResult::Ok) {
                    result = DecodeHuffman(reader, output, dynamicLitLen_, dynamicDistance_);
                }
                break;
            default:
                result = InflateResult::BadData;
        }
        if (reader.readFailed()) {
            result = InflateResult::ReadFailed;
        } else if (reader.overrun()) {
            result = InflateResult::Truncated;
        }
    }
    if (result == InflateResult::Ok && !output.Flush()) {
        result = InflateResult::OutputFailed;
    }
    consumedBytes_ = (reader.consumedBits() + 7) / 8;
    producedBytes_ = output.total();
    return result;
}

InflateResult Inflater::DecodeStored(BitReader& reader, Output& output) {
    reader.AlignToByte();
    const std::uint32_t length = reader.Take(16);
    const std::uint32_t complement = reader.Take(16);
    if ((length ^ 0xFFFF) != complement) {
        return InflateResult::BadData;
    }
    for (std::uint32_t left = length; left > 0;) {
        if (output.PastLimit()) {
            return InflateResult::TooLong;
        }
        const std::uint32_t n = std::min<std::uint32_t>(left, kWindowSize);
        if (!output.MakeRoom(n)) {
            return InflateResult::OutputFailed;
        }
        if (!reader.ReadAlignedBytes(output.Reserve(n))) {
            return reader.readFailed() ? InflateResult::ReadFailed : InflateResult::Truncated;
        }
        output.Commit(n);
        left -= n;
    }
    return InflateResult::Ok;
}

InflateResult Inflater::ReadDynamicCodes(BitReader& reader) {
    reader.Refill();
    const unsigned litLenCount = reader.Take(5) + 257;
    const unsigned distanceCount = reader.Take(5) + 1;
    const unsigned codeLengthCount = reader.Take(4) + 4;
    if (litLenCount > kNumLitLenSymbols || distanceCount > kNumDistanceSymbols) {
        return InflateResult::BadData;
    }
    std::array<std::uint8_t, kNumCodeLengthSymbols> codeLengthLengths{};
    for (unsigned i = 0; i < codeLengthCount; ++i) {
        reader.Refill();
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(reader.Take(3));
    }
    HuffmanDecoder codeLengthCode;
    // Unlike the other two codes, the code-length code must be complete.
    const bool complete = codeLengthCode.Build(codeLengthLengths) &&
                          std::count(codeLengthLengths.begin(), codeLengthLengths.end(), 0) <
                              static_cast<std::ptrdiff_t>(kNumCodeLengthSymbols - 1);
    if (!complete) {
        return InflateResult::BadData;
    }
    std::array<std::uint8_t, kNumLitLenSymbols + kNumDistanceSymbols> lengths{};
    const unsigned total = litLenCount + distanceCount;
    for (unsigned i = 0; i < total;) {
        reader.Refill();
        const unsigned symbol = codeLengthCode.Decode(reader);
        if (symbol < kRepeatPrevious) {
            lengths[i++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        unsigned repeat = 0;
        std::uint8_t value = 0;
        if (symbol == kRepeatPrevious) {
            if (i == 0) {
                return InflateResult::BadData;
            }
            value = lengths[i - 1];
            repeat = 3 + reader.Take(2);
        } else if (symbol == kRepeatZeroShort) {
            repeat = 3 + reader.Take(3);
        } else if (symbol == kRepeatZeroLong) {
            repeat = 11 + reader.Take(7);
        } else {
            return InflateResult::BadData;
        }
        if (i + repeat > total) {
            return InflateResult::BadData;
        }
        std::fill_n(lengths.begin() + i, repeat, value);
        i += repeat;
        if (reader.overrun()) {
            return InflateResult::Truncated;
        }
    }
    const std::span<const std::uint8_t> all(lengths.data(), total);
    if (lengths[kEndOfBlock] == 0 || !dynamicLitLen_.Build(all.first(litLenCount)) ||
        !dynamicDistance_.Build(all.subspan(litLenCount))) {
        return InflateResult::BadData;
    }
    return InflateResult::Ok;
}

InflateResult Inflater::DecodeHuffman(BitReader& reader, Output& output,
                                      const HuffmanDecoder& litLen,
                                      const HuffmanDecoder& distance) {
    for (;;) {
        if (output.PastLimit()) {
            return InflateResult::TooLong;
        }
        if (!output.MakeRoom(kMaxMatch)) {
            return InflateResult::OutputFailed;
        }
        // Past the end of the input the reader supplies zero bits, which may well decode as
        // literals for ever.
        if (reader.overrun()) {
            return InflateResult::Truncated;
        }
        // One refill holds a length code with its extra bits; the distance needs another.
        reader.Refill();
        const unsigned symbol = litLen.Decode(reader);
        if (symbol < kEndOfBlock) {
            output.PutLiteral(static_cast<std::uint8_t>(symbol));
            continue;
        }
        if (symbol == kEndOfBlock) {
            return InflateResult::Ok;
        }
        const unsigned slot = symbol - kFirstLengthSymbol;
        if (slot >= kNumLengthSlots) {
            return InflateResult::BadData;
        }
        const unsigned length = kLengthBase[slot] + reader.Take(kLengthExtraBits[slot]);
        reader.Refill();
        const unsigned distanceSlot = distance.Decode(reader);
        if (distanceSlot >= kNumDistanceSymbols) {
            return InflateResult::BadData;
        }
        const unsigned back =
            kDistanceBase[distanceSlot] + reader.Take(kDistanceExtraBits[distanceSlot]);
        if (!output.Copy(length, back)) {
            return InflateResult::BadData;
        }
    }
}

}  // namespace arkivo::deflate
