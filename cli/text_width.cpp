#include "cli/text_width.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "cli/utf8.h"

namespace arkivo::cli {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth characters (Unicode 14), with the unassigned code points
// between them counted as wide: a column too many only shortens a line.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA4C6},   {0xA960, 0xA97C},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAD9},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6B},
    {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x1B2FB}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7F0},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAF6},
    {0x20000, 0x3FFFD},
};

// The combining marks most text uses (accents written as marks of their own); rarer marks
// count as one column, which again only shortens a line.
constexpr Range kCombining[] = {
    {0x300, 0x36F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F},
};

bool InRanges(char32_t c, const Range* begin, const Range* end) {
    const auto found = std::lower_bound(
        begin, end, c, [](const Range& r, char32_t value) { return r.last < value; });
    return found != end && found->first <= c;
}

std::size_t CharacterWidth(char32_t c) {
    if (InRanges(c, std::begin(kCombining), std::end(kCombining))) {
        return 0;
    }
    return InRanges(c, std::begin(kWide), std::end(kWide)) ? 2 : 1;
}

struct Piece {
    std::size_t offset;
    std::size_t length;
    std::size_t width;
};

std::vector<Piece> Pieces(std::string_view text) {
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < text.size();) {
        const auto character = NextUtf8Character(text, i);
        pieces.push_back(
            {i, character.length, character.valid ? CharacterWidth(character.value) : 1});
        i += character.length;
    }
    return pieces;
}

constexpr std::string_view kEllipsis = "\u2026";

}  // namespace

std::string OnOneLine(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto character = NextUtf8Character(text, i);
        if (!character.valid) {
            shown += "\uFFFD";
        } else if (character.value < 0x20 || (character.value >= 0x7F && character.value < 0xA0)) {
            shown += '?';
        } else {
            shown.append(text.substr(i, character.length));
        }
        i += character.length;
    }
    return shown;
}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const auto& piece : Pieces(text)) {
        width += piece.width;
    }
    return width;
}

std::string CutAtTheEnd(std::string_view text, std::size_t columns) {
    std::size_t used = 0;
    std::size_t end = 0;
    for (const auto& piece : Pieces(text)) {
        if (used + piece.width > columns) {
            break;
        }
        used += piece.width;
        end = piece.offset + piece.length;
    }
    return std::string(text.substr(0, end));
}

std::string CutInTheMiddle(std::string_view text, std::size_t columns) {
    const auto pieces = Pieces(text);
    std::size_t total = 0;
    for (const auto& piece : pieces) {
        total += piece.width;
    }
    if (total <= columns) {
        return std::string(text);
    }
    if (columns == 0) {
        return {};
    }
    // The end holds the file name: it gets the larger half.
    const std::size_t room = columns - 1;
    const std::size_t headRoom = room / 2;
    std::size_t tailRoom = room - headRoom;
    std::size_t tailStart = text.size();
    for (auto it = pieces.rbegin(); it != pieces.rend() && it->width <= tailRoom; ++it) {
        tailRoom -= it->width;
        tailStart = it->offset;
    }
    std::string head = CutAtTheEnd(text, headRoom + tailRoom);
    if (head.size() > tailStart) {
        head.resize(tailStart);
    }
    return head + std::string(kEllipsis) + std::string(text.substr(tailStart));
}

std::vector<std::string> Wrapped(std::string_view line, std::size_t columns) {
    constexpr std::string_view kIndent = "  ";
    std::vector<std::string> lines;
    std::string rest(line);
    while (DisplayWidth(rest) > columns && columns > kIndent.size()) {
        const std::size_t room = lines.empty() ? columns : columns - kIndent.size();
        std::string piece = CutAtTheEnd(rest, room);
        if (piece.empty()) {
            // Not even one character fits: it goes on a line of its own all the same.
            piece = rest.substr(0, NextUtf8Character(rest, 0).length);
        }
        // Break after the last space that leaves a word on this line.
        const auto firstWord = piece.find_first_not_of(' ');
        const auto space = piece.find_last_of(' ');
        if (space != std::string::npos && firstWord != std::string::npos && space > firstWord &&
            rest.size() > piece.size() && rest[piece.size()] != ' ') {
            piece.resize(space + 1);
        }
        std::size_t taken = piece.size();
        while (!piece.empty() && piece.back() == ' ') {
            piece.pop_back();
        }
        while (taken < rest.size() && rest[taken] == ' ') {
            ++taken;
        }
        lines.push_back((lines.empty() ? "" : std::string(kIndent)) + piece);
        rest.erase(0, taken);
    }
    if (!rest.empty() || lines.empty()) {
        lines.push_back((lines.empty() ? "" : std::string(kIndent)) + rest);
    }
    return lines;
}

}  // namespace arkivo::cli
