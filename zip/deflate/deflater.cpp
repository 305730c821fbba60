#include "zip/deflate/deflater.h"

#include <algorithm>
#include <cstring>

namespace arkivo::deflate {
namespace {

// The search effort of level 8 in the classic table of levels.
constexpr unsigned kGoodLength = 32;   // a match this long makes the next search shorter
constexpr unsigned kMaxLazy = 128;     // a match this long is taken without looking further
constexpr unsigned kNiceLength = 258;  // a match this long ends the search
constexpr unsigned kMaxChain = 1024;
// A match of the shortest length this far back costs more bits than its three literals.
constexpr unsigned kTooFar = 4096;
// Not in the classic table: see SearchLimits. At 192 the output stays smaller than zlib's on
// mixed data and within 0.3 % of it on word-like text, and the search takes a tenth less time
// than at 256.
constexpr unsigned kStaleChain = 192;
constexpr SearchLimits kFullSearch{kMaxChain, kNiceLength, kStaleChain, kTooFar};
// After a good match the search for a better one at the next position is shorter.
constexpr SearchLimits kShortSearch{kMaxChain / 4, kNiceLength, kStaleChain, kTooFar};

constexpr std::int32_t kBufferSize = 1 << 20;
// The match search reads up to 8 bytes past the input.
constexpr std::size_t kReadSlack = 16;
// Positions are only searched while this much input lies ahead, unless the input has ended.
constexpr std::int32_t kMinLookahead = kMaxMatch + kMinMatch + 1;
// A match at distance 1 repeats one byte; from this length on its positions are inserted as a
// run, all with four bytes of that byte.
constexpr unsigned kMinRun = 8;
// Blocks are weighed for ending every kCheckInterval symbols (see BlockSplitter). A block of
// the most symbols that is stored fits one stored block when its symbols are all literals.
constexpr std::size_t kMaxBlockSymbols = kMaxStoredLength;
constexpr std::size_t kCheckInterval = 1 << 10;
// Below this many bytes a stream's hash entries are cheaper to find again than to clear all.
constexpr std::int32_t kForgetLimit = 1 << 13;

}  // namespace

Deflater::Deflater(ByteSink& sink)
    : window_(kBufferSize + kReadSlack),
      capacity_(kBufferSize),
      symbols_(kMaxBlockSymbols),
      splitter_(kMaxBlockSymbols, kCheckInterval),
      writer_(sink) {}

void Deflater::Reset() {
    if (!slid_ && end_ <= kForgetLimit) {
        finder_.Forget(window_.data(), end_);
    } else {
        finder_.Clear();
    }
    pos_ = end_ = blockStart_ = 0;
    slid_ = false;
    matchLength_ = kMinMatch - 1;
    matchDistance_ = 0;
    literalPending_ = false;
    symbols_.Clear();
    splitter_.StartBlock(symbols_);
    writer_.Reset();
    error_ = DeflateError::None;
}

bool Deflater::Write(std::span<const std::uint8_t> input) {
    while (!input.empty() && error_ == DeflateError::None) {
        if (end_ == capacity_) {
            Parse(false);
            MakeRoom();
        }
        const std::size_t n = std::min(input.size(), static_cast<std::size_t>(capacity_ - end_));
        std::memcpy(window_.data() + end_, input.data(), n);
        end_ += static_cast<std::int32_t>(n);
        input = input.subspan(n);
    }
    return error_ == DeflateError::None;
}

void Deflater::SetDictionary(std::span<const std::uint8_t> dictionary) {
    if (dictionary.size() > kWindowSize) {
        dictionary = dictionary.last(kWindowSize);
    }
    std::memcpy(window_.data(), dictionary.data(), dictionary.size());
    pos_ = end_ = blockStart_ = static_cast<std::int32_t>(dictionary.size());
    InsertRange(0, end_);
}

bool Deflater::Finish() {
    return WriteLastBlocks(true);
}

bool Deflater::FinishPiece() {
    return WriteLastBlocks(false);
}

bool Deflater::WriteLastBlocks(bool final) {
    Parse(true);
    const SymbolFrequencies frequencies = symbols_.frequencies();
    if (final || symbols_.size() > 0) {
        WriteBlock(symbols_.size(), symbols_.rawLength(), frequencies, final);
    }
    if (error_ == DeflateError::None && !final) {
        // An empty stored block: its lengths begin on a byte boundary, and end on one.
        if (writer_.Reserve(16)) {
            writer_.AddBits(0, 1);
            writer_.AddBits(static_cast<unsigned>(BlockType::Stored), 2);
            writer_.AlignToByte();
            writer_.AddBits(0xFFFF0000u, 32);
            writer_.CommitBytes();
        } else {
            error_ = DeflateError::OutputFailed;
        }
    }
    if (error_ == DeflateError::None) {
        writer_.AlignToByte();
        if (!writer_.Drain()) {
            error_ = DeflateError::OutputFailed;
        }
    }
    return error_ == DeflateError::None;
}

void Deflater::Parse(bool toTheEnd) {
    const std::uint8_t* const window = window_.data();
    const std::int32_t stop = toTheEnd ? end_ : end_ - kMinLookahead;
    while (pos_ < stop) {
        const unsigned lookahead = static_cast<unsigned>(end_ - pos_);
        const unsigned maxLength = std::min(kMaxMatch, lookahead);
        MatchFinder::Candidates candidates;
        if (lookahead > MatchFinder::kHashedBytes) {
            finder_.Prefetch(window, pos_ + 1);
        }
        if (lookahead >= MatchFinder::kHashedBytes) {
            candidates = finder_.Insert(window, pos_);
        }
        const unsigned previousLength = matchLength_;
        const unsigned previousDistance = matchDistance_;
        matchLength_ = kMinMatch - 1;
        if (previousLength < kMaxLazy) {
            const SearchLimits& limits = previousLength >= kGoodLength ? kShortSearch : kFullSearch;
            unsigned distance = 0;
            const unsigned length = finder_.FindLongest(window, pos_, candidates,
                                                        std::max(previousLength, kMinMatch - 1),
                                                        maxLength, limits, distance);
            if (length > previousLength && !(length == kMinMatch && distance > kTooFar)) {
                matchLength_ = length;
                matchDistance_ = distance;
            }
        }
        if (previousLength >= kMinMatch && matchLength_ <= previousLength) {
            // The match at pos_ - 1 stands; its positions after pos_ still go into the chains.
            const std::int32_t matchEnd = pos_ - 1 + static_cast<std::int32_t>(previousLength);
            std::int32_t next = pos_ + 1;
            if (previousDistance == 1 && previousLength >= kMinRun) {
                next = finder_.InsertRun(window, next, matchEnd);
            }
            InsertRange(next, matchEnd);
            EmitMatch(previousLength, previousDistance);
            pos_ = matchEnd;
            literalPending_ = false;
            matchLength_ = kMinMatch - 1;
        } else if (literalPending_) {
            EmitLiteral(window[pos_ - 1]);
            ++pos_;
        } else {
            literalPending_ = true;
            ++pos_;
        }
    }
    if (toTheEnd && literalPending_) {
        EmitLiteral(window[pos_ - 1]);
        literalPending_ = false;
    }
}

void Deflater::InsertRange(std::int32_t begin, std::int32_t end) {
    const std::int32_t last =
        std::min(end, end_ - static_cast<std::int32_t>(MatchFinder::kHashedBytes) + 1);
    for (std::int32_t p = begin; p < last; ++p) {
        finder_.Insert(window_.data(), p);
    }
}

void Deflater::EmitLiteral(std::uint8_t byte) {
    symbols_.AddLiteral(byte);
    EndBlockIfDue();
}

void Deflater::EmitMatch(unsigned length, unsigned distance) {
    symbols_.AddMatch(length, distance);
    EndBlockIfDue();
}

void Deflater::EndBlockIfDue() {
    if (symbols_.size() < splitter_.nextCheckpoint()) {
        return;
    }
    const BlockSplitter::Split split = splitter_.Evaluate(symbols_);
    if (split.symbolCount > 0) {
        WriteBlock(split.symbolCount, split.rawLength, split.frequencies, false);
    }
}

void Deflater::WriteBlock(std::size_t symbolCount, std::size_t rawLength,
                          const SymbolFrequencies& frequencies, bool final) {
    if (error_ == DeflateError::None) {
        const std::span<const std::uint8_t> raw(window_.data() + blockStart_, rawLength);
        error_ = encoder_.Encode(writer_, symbols_.symbols().first(symbolCount), frequencies, raw,
                                 final);
    }
    blockStart_ += static_cast<std::int32_t>(rawLength);
    if (symbolCount == symbols_.size()) {
        symbols_.Clear();
    } else {
        symbols_.RemovePrefix(symbolCount, rawLength, frequencies);
    }
    splitter_.StartBlock(symbols_);
}

// Drops the oldest input, keeping the window behind pos_ and the input of the gathered block,
// which a stored block would need. A block reaching back too far is ended first.
void Deflater::MakeRoom() {
    if (pos_ - blockStart_ > capacity_ / 2) {
        const SymbolFrequencies frequencies = symbols_.frequencies();
        WriteBlock(symbols_.size(), symbols_.rawLength(), frequencies, false);
    }
    const std::int32_t keepFrom =
        std::min(blockStart_, pos_ - static_cast<std::int32_t>(kWindowSize));
    if (keepFrom <= 0) {
        return;
    }
    std::memmove(window_.data(), window_.data() + keepFrom,
                 static_cast<std::size_t>(end_ - keepFrom));
    pos_ -= keepFrom;
    end_ -= keepFrom;
    blockStart_ -= keepFrom;
    finder_.Slide(keepFrom);
    slid_ = true;
}

}  // namespace arkivo::deflate
