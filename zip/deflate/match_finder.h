// Finds earlier occurrences of the string at a position of the window, by hash chains: for
// every hash value the most recent position, and for every position the one before it with the
// same hash.
//
// Positions are indices into the caller's buffer; when the buffer drops its oldest bytes, Slide
// moves every stored position with it.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "zip/byte_order.h"
#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {

// Matches may reach back this far, so that a match of the longest length still leaves room for
// the lookahead in a window of kWindowSize bytes.
inline constexpr unsigned kMaxDistance = kWindowSize - (kMaxMatch + kMinMatch + 1);

inline void PrefetchLine(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// How hard one search tries.
struct SearchLimits {
    unsigned chainLength;  // candidates looked at, at most
    unsigned niceLength;   // a match this long ends the search
    // Candidates looked at in a row without finding a longer match before the search gives
    // up. Long chains of near misses (tables and code in binaries) would otherwise take the
    // whole chain length at almost every position and seldom find anything better.
    unsigned staleLength;
    // Matches of three bytes are only looked for this close.
    unsigned shortReach;
};

class MatchFinder {
  public:
    // Inserting a position reads this many bytes from it.
    static constexpr unsigned kHashedBytes = 4;

    MatchFinder();

    // Forgets every position.
    void Clear();

    // Forgets the positions below end of a window that never slid, at a cost that grows with
    // end rather than with the table size: only their own hash entries are cleared. Chains
    // need no clearing, as they are only entered from the hash entries.
    void Forget(const std::uint8_t* window, std::int32_t end);

    // Inserts the positions from begin on that lie inside a run of one byte value, which
    // ends at runEnd and began no later than begin - 1, where the last insert was made. Their
    // strings are all the same, so each links to the one before it, and the tables come out
    // as from Insert one by one, without its read of the entry the last insert wrote. Returns
    // the first position not inserted, the first whose four bytes reach past the run.
    std::int32_t InsertRun(const std::uint8_t* window, std::int32_t begin, std::int32_t runEnd) {
        const std::int32_t last = runEnd - static_cast<std::int32_t>(kHashedBytes);
        if (last < begin) {
            return begin;
        }
        for (std::int32_t p = begin; p <= last; ++p) {
            prev_[static_cast<std::uint32_t>(p) & kChainMask] = p - 1;
        }
        const std::uint32_t word = LoadLittleEndian<std::uint32_t>(window + begin);
        head_[Hash4(word)] = last;
        head3_[Hash3(word)] = last;
        return last + 1;
    }

    // The earlier positions that a search at a position starts from. The chains are keyed on
    // four bytes, which keeps them free of strings that share only three; matches of three
    // come from a table that keeps the latest position of each 3-byte hash.
    // A position that lies too far back for any search, standing for none.
    static constexpr std::int32_t kNoPosition = INT32_MIN / 2;

    struct Candidates {
        std::int32_t chain = kNoPosition;     // the latest position with the same 4-byte hash
        std::int32_t shortest = kNoPosition;  // the latest position with the same 3-byte hash
    };

    // Asks the processor to fetch the hash entries of the string at pos, which Insert will
    // need soon; the tables are too large for the first-level cache. Reads kHashedBytes bytes.
    void Prefetch(const std::uint8_t* window, std::int32_t pos) const {
        const std::uint32_t word = LoadLittleEndian<std::uint32_t>(window + pos);
        PrefetchLine(&head_[Hash4(word)]);
        PrefetchLine(&head3_[Hash3(word)]);
    }

    // Inserts the string at pos. Reads kHashedBytes bytes at pos.
    Candidates Insert(const std::uint8_t* window, std::int32_t pos) {
        const std::uint32_t word = LoadLittleEndian<std::uint32_t>(window + pos);
        const std::uint32_t h = Hash4(word);
        const std::uint32_t h3 = Hash3(word);
        const Candidates found{head_[h], head3_[h3]};
        head_[h] = pos;
        head3_[h3] = pos;
        prev_[static_cast<std::uint32_t>(pos) & kChainMask] = found.chain;
        return found;
    }

    // The longest match for the string at pos that is longer than `longest` and at most
    // maxLength long, walking the chain from the candidates Insert gave for pos. Returns its
    // length and sets distance, or returns `longest` when there is none. The window needs 8
    // readable bytes past pos + maxLength.
    unsigned FindLongest(const std::uint8_t* window, std::int32_t pos, const Candidates& candidates,
                         unsigned longest, unsigned maxLength, const SearchLimits& limits,
                         unsigned& distance) const;

    // The caller's buffer dropped its first shift bytes: every position moves down by shift.
    void Slide(std::int32_t shift);

  private:
    // One entry per window position: larger tables (up to 2^17 were measured) found the same
    // matches but ran slower, their entries missing the processor's caches more often.
    static constexpr unsigned kHashBits = 15;
    static constexpr std::uint32_t kChainMask = kWindowSize - 1;

    // Three-byte matches are only taken near (SearchLimits::shortReach): few entries do.
    static constexpr unsigned kHash3Bits = 13;

    static std::uint32_t Hash4(std::uint32_t word) {
        return (word * 0x9E3779B1u) >> (32 - kHashBits);
    }
    static std::uint32_t Hash3(std::uint32_t word) {
        return ((word << 8) * 0x9E3779B1u) >> (32 - kHash3Bits);
    }

    std::vector<std::int32_t> head_;
    std::vector<std::int32_t> head3_;
    std::vector<std::int32_t> prev_;
};

// Counts equal leading bytes of a and b, up to limit; reads up to 8 bytes past the limit.
inline unsigned CommonPrefixLength(const std::uint8_t* a, const std::uint8_t* b, unsigned limit) {
    unsigned length = 0;
    while (length < limit) {
        const std::uint64_t difference = LoadLittleEndian<std::uint64_t>(a + length) ^
                                         LoadLittleEndian<std::uint64_t>(b + length);
        if (difference != 0) {
            length += static_cast<unsigned>(std::countr_zero(difference)) / 8;
            return length < limit ? length : limit;
        }
        length += 8;
    }
    return limit;
}

}  // namespace arkivo::deflate
