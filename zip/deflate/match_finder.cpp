

#include "zip/deflate/match_finder.h"

#include <algorithm>

namespace arkivo::deflate {

MatchFinder::MatchFinder()
    : head_(std::size_t{1} << kHashBits, kNoPosition),
      head3_(std::size_t{1} << kHash3Bits, kNoPosition),
      prev_(kWindowSize, kNoPosition) {}

void MatchFinder::Clear() {
    std::fill(head_.begin(), head_.end(), kNoPosition);
    std::fill(head3_.begin(), head3_.end(), kNoPosition);
}

void MatchFinder::Forget(const std::uint8_t* window, std::int32_t end) {
    for (std::int32_t p = 0; p + static_cast<std::int32_t>(kHashedBytes) <= end; ++p) {
        const std::uint32_t word = LoadLittleEndian<std::uint32_t>(window + p);
        head_[Hash4(word)] = kNoPosition;
        head3_[Hash3(word)] = kNoPosition;
    }
}

unsigned MatchFinder::FindLongest(const std::uint8_t* window, std::int32_t pos,
                                  const Candidates& candidates, unsigned longest,
                                  unsigned maxLength, const SearchLimits& limits,
                                  unsigned& distance) const {
    const std::uint8_t* const scan = window + pos;
    const std::int32_t limit = pos - static_cast<std::int32_t>(kMaxDistance);
    const unsigned niceLength = std::min(limits.niceLength, maxLength);
    // Both budgets count down together; giveUp is where the stale budget runs out.
    unsigned chainLeft = limits.chainLength;
    auto staleEnd = [&] {
        return chainLeft > limits.staleLength ? chainLeft - limits.staleLength : 0;
    };
    unsigned giveUp = staleEnd();
    // A candidate can only beat the best match if it agrees with the string at the best
    // match's last bytes; testing those four bytes first rejects most candidates at once.
    // Before the first match only the first three bytes are tested.
    unsigned probe = longest >= kMinMatch ? longest - 3 : 0;
    std::uint32_t probeMask = longest >= kMinMatch ? 0xFFFFFFFFu : 0x00FFFFFFu;
    std::uint32_t probeBytes = LoadLittleEndian<std::uint32_t>(scan + probe);
    std::int32_t best = kNoPosition;
    std::int32_t candidate = candidates.chain;
    while (candidate > limit) {
        const std::uint8_t* const match = window + candidate;
        if (((LoadLittleEndian<std::uint32_t>(match + probe) ^ probeBytes) & probeMask) == 0) {
            const unsigned length = CommonPrefixLength(scan, match, maxLength);
            if (length > longest) {
                longest = length;
                best = candidate;
                giveUp = staleEnd();
                if (length >= niceLength) {
                    break;
                }
                probe = length - 3;
                probeMask = 0xFFFFFFFFu;
                probeBytes = LoadLittleEndian<std::uint32_t>(scan + probe);
            }
        }
        if (--chainLeft == giveUp) {
            break;
        }
        candidate = prev_[static_cast<std::uint32_t>(candidate) & kChainMask];
    }
    if (longest < kMinMatch &&
        candidates.shortest >= pos - static_cast<std::int32_t>(limits.shortReach)) {
        const unsigned length = CommonPrefixLength(scan, window + candidates.shortest, maxLength);
        if (length >= kMinMatch) {
            longest = length;
            best = candidates.shortest;
        }
    }
    if (best != kNoPosition) {
        distance = static_cast<unsigned>(pos - best);
    }
    return longest;
}

void MatchFinder::Slide(std::int32_t shift) {
    auto move = [shift](std::int32_t position) { return std::max(position - shift, kNoPosition); };
    std::transform(head_.begin(), head_.end(), head_.begin(), move);
    std::transform(head3_.begin(), head3_.end(), head3_.begin(), move);
    std::transform(prev_.begin(), prev_.end(), prev_.begin(), move);
}

}  // namespace arkivo::deflate
