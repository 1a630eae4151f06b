#include "lookup/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace wm::text {
namespace {

constexpr size_t kNone = std::string_view::npos;

// A byte of 0x80 or above opens a two-byte character (GBK and the other
// double-byte ANSI code pages).
bool is_lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

bool is_upper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool is_lower(unsigned char c) { return c >= 'a' && c <= 'z'; }

// Plain ASCII folding: no locale may turn a lead or trail byte into a letter.
unsigned char fold(unsigned char c) { return is_upper(c) ? static_cast<unsigned char>(c + 32) : c; }

bool equal_at(const char* at, std::string_view sought, bool ignore_case) {
    if (!ignore_case) return std::memcmp(at, sought.data(), sought.size()) == 0;
    for (size_t i = 0; i < sought.size(); ++i) {
        if (fold(static_cast<unsigned char>(at[i])) != fold(static_cast<unsigned char>(sought[i]))) {
            return false;
        }
    }
    return true;
}

// Rough frequency of a byte in a song page (HTML, script, GBK text); higher is
// more common. Scanning for the rarest byte of the sought text keeps the
// number of candidates that need a full comparison low.
int byte_frequency(unsigned char c) {
    static constexpr std::string_view kLetters = "etaoinsrhldcumfpgwybvkxjqz";
    static constexpr std::string_view kMarkup = "<>/=\"";
    static constexpr std::string_view kPunctuation = ".:;,'-_()\r\n\t{}#&%!?+*";
    if (c == ' ') return 255;
    if (is_lower(c)) return 245 - 4 * static_cast<int>(kLetters.find(static_cast<char>(c)));
    if (is_upper(c)) return 140 - 3 * static_cast<int>(kLetters.find(static_cast<char>(c + 32)));
    if (c >= '0' && c <= '9') return 150;
    if (kMarkup.find(static_cast<char>(c)) != kNone) return 215;
    if (kPunctuation.find(static_cast<char>(c)) != kNone) return 170;
    if (c >= 0x80) return 160;
    return 80;
}

// The byte of the sought text that candidates are located by: its offset in
// the sought text and the one or two byte values (both cases of a letter when
// ignoring case) it may take in the searched text.
struct Anchor {
    size_t offset = 0;
    std::array<unsigned char, 2> bytes{};
    bool both_cases = false;
};

Anchor pick_anchor(std::string_view sought, bool ignore_case) {
    Anchor best;
    int best_cost = std::numeric_limits<int>::max();
    for (size_t i = 0; i < sought.size(); ++i) {
        const auto c = static_cast<unsigned char>(sought[i]);
        const bool letter = ignore_case && (is_upper(c) || is_lower(c));
        // A letter without case needs two memchr scans; charge it for the second.
        const int cost = letter ? byte_frequency(fold(c)) + 10 : byte_frequency(c);
        if (cost < best_cost) {
            best_cost = cost;
            best.offset = i;
            best.both_cases = letter;
            best.bytes = {letter ? fold(c) : c, letter ? static_cast<unsigned char>(fold(c) - 32) : c};
        }
    }
    return best;
}

// Finds the next occurrence of the anchor byte(s) with memchr, remembering
// the hit of each byte value so that a two-value anchor scans every byte of
// the text at most once per value.
class AnchorScanner {
public:
    AnchorScanner(std::string_view text, const Anchor& anchor) : text_(text), anchor_(anchor) {}

    // First index >= from holding an anchor byte, or the text length.
    size_t next(size_t from) {
        if (from >= text_.size()) return text_.size();
        size_t hit = refresh(0, from);
        if (anchor_.both_cases) hit = std::min(hit, refresh(1, from));
        return hit;
    }

private:
    size_t refresh(int i, size_t from) {
        if (!valid_[i] || hit_[i] < from) {
            const void* p = std::memchr(text_.data() + from, anchor_.bytes[i], text_.size() - from);
            hit_[i] = p ? static_cast<size_t>(static_cast<const char*>(p) - text_.data()) : text_.size();
            valid_[i] = true;
        }
        return hit_[i];
    }

    std::string_view text_;
    Anchor anchor_;
    std::array<size_t, 2> hit_{};
    std::array<bool, 2> valid_{};
};

// Whether `at` is a character start when stepping from the character start
// `from`. A byte below 0x80 is either a character of its own or the second
// byte of a pair, so the byte after it always starts a character; from there
// on only lead bytes follow up to `at`, each opening a pair.
bool on_boundary(std::string_view text, size_t from, size_t at) {
    const char* data = text.data();
    size_t run = at;
    if (run == from || !is_lead(data[run - 1])) return true;
    // Long stretches of two-byte text are stepped over 64 bytes at a time.
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    while (run - from >= 64) {
        uint64_t words[8];
        std::memcpy(words, data + run - 64, sizeof words);
        uint64_t all = kHighBits;
        for (uint64_t word : words) all &= word;
        if (all != kHighBits) break;
        run -= 64;
    }
    while (run > from && is_lead(data[run - 1])) --run;
    return (at - run) % 2 == 0;
}

// 0-based offset of the first match of a non-empty `sought` that starts on a
// character boundary, stepping from the character start `pos`; candidates
// past `last` are not tried. kNone when there is none.
size_t search(std::string_view text, std::string_view sought, size_t pos, bool ignore_case, size_t last) {
    if (sought.empty() || sought.size() > text.size()) return kNone;
    last = std::min(last, text.size() - sought.size());
    const Anchor anchor = pick_anchor(sought, ignore_case);
    AnchorScanner scanner(text, anchor);
    size_t boundary = pos;
    while (boundary <= last) {
        const size_t hit = scanner.next(boundary + anchor.offset);
        if (hit >= text.size()) return kNone;
        const size_t candidate = hit - anchor.offset;
        if (candidate > last) return kNone;
        if (!on_boundary(text, boundary, candidate)) {
            // The candidate is a second byte, so the byte after it starts a character.
            boundary = candidate + 1;
            continue;
        }
        if (equal_at(text.data() + candidate, sought, ignore_case)) return candidate;
        boundary = candidate + (is_lead(text[candidate]) ? 2 : 1);
    }
    return kNone;
}

}  // namespace

std::string bytes_to_text(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

int32_t find(std::string_view text, std::string_view sought, int32_t start, bool ignore_case) {
    const size_t from = static_cast<size_t>(std::max(start, int32_t{1}) - 1);
    if (from >= text.size()) return kNotFound;
    if (sought.empty()) return 1;
    // A match whose position does not fit the 32-bit result is reported as -1:
    // only texts over 2 GiB can have one, and a wrong position would be worse.
    constexpr size_t kLastReportable = static_cast<size_t>(std::numeric_limits<int32_t>::max()) - 1;
    const size_t at = search(text, sought, from, ignore_case, kLastReportable);
    return at == kNone ? kNotFound : static_cast<int32_t>(at + 1);
}

std::string middle(std::string_view text, int32_t start, int32_t length) {
    // 64-bit arithmetic: start - 1 and the cut at the end must not overflow.
    const int64_t from = static_cast<int64_t>(start) - 1;
    if (from < 0 || static_cast<uint64_t>(from) >= text.size() || length <= 0) return {};
    const uint64_t left = text.size() - static_cast<uint64_t>(from);
    const uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(length), left);
    return std::string(text.substr(static_cast<size_t>(from), static_cast<size_t>(count)));
}

std::vector<std::string> split(std::string_view text, std::string_view delimiter, std::optional<int32_t> limit) {
    const int32_t pieces_left_at_start = limit ? std::max(*limit, int32_t{0}) : -1;
    if (text.empty() || pieces_left_at_start == 0) return {};
    if (delimiter.empty()) return {std::string(text)};

    std::vector<std::string> pieces;
    int32_t pieces_left = pieces_left_at_start;
    size_t piece = 0;
    for (;;) {
        const size_t at = search(text, delimiter, piece, false, kNone);
        if (at == kNone) break;
        pieces.emplace_back(text.substr(piece, at - piece));
        piece = at + delimiter.size();
        if (limit && --pieces_left == 0) return pieces;
    }
    if (piece < text.size()) pieces.emplace_back(text.substr(piece));
    return pieces;
}

int32_t element_count(const std::vector<std::string>& pieces) {
    constexpr size_t kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(std::min(pieces.size(), kMax));
}

int compare(std::string_view a, std::string_view b) {
    // char_traits<char> compares as unsigned char, so GBK bytes sort above ASCII.
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

bool is_empty(std::string_view text) { return text.empty(); }

size_t length(std::string_view text) { return text.size(); }

std::string join(std::initializer_list<std::string_view> parts) {
    std::string joined;
    size_t total = 0;
    for (std::string_view part : parts) {
        if (part.size() > joined.max_size() - total) throw std::bad_alloc();
        total += part.size();
    }
    joined.reserve(total);
    for (std::string_view part : parts) joined.append(part);
    return joined;
}

int64_t truncate(double value) {
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (std::isnan(value)) return 0;
    if (value >= kTwoTo63) return std::numeric_limits<int64_t>::max();
    if (value < -kTwoTo63) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

}  // namespace wm::text
