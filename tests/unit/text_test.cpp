#include "lookup/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace wm::text {
namespace {

using namespace std::string_literals;
using Pieces = std::vector<std::string>;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// B0 opens a two-byte character; A1 is a typical second byte.
const std::string kLead = "\xB0";

TEST(BytesToText, EndsAtTheFirstZeroByte) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""}, {"AB\0C"s, "AB"}, {"AB", "AB"}, {"\0AB"s, ""}, {"\xB0\xA1\xFF", "\xB0\xA1\xFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(bytes_to_text(c.bytes), c.text);
    }
}

struct FindCase {
    std::string text;
    std::string sought;
    int32_t start;
    bool ignore_case;
    int32_t expected;
};

void expect_finds(const std::vector<FindCase>& cases) {
    for (const FindCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " / " + testing::PrintToString(c.sought) + " from " +
                     std::to_string(c.start) + (c.ignore_case ? " ignoring case" : ""));
        EXPECT_EQ(find(c.text, c.sought, c.start, c.ignore_case), c.expected);
    }
}

TEST(Find, PositionsAndStartRange) {
    expect_finds({
        {"a/b/c", "/", 1, false, 2},
        {"abc", "x", 1, false, -1},
        {"", "x", 1, false, -1},
        {"abab", "ab", 1, false, 1},
        {"abab", "ab", 2, false, 3},
        {"abc", "abcd", 1, false, -1},
        {"a/b/c", "/", 3, false, 4},
        {"a/b/c", "/", 0, false, 2},
        {"a/b/c", "/", -5, false, 2},
        {"a/b/c", "/", kMin, false, 2},
        {"a/b/c", "/", 5, false, -1},
        {"a/b/c", "/", 6, false, -1},
        {"a/b/c", "/", kMax, false, -1},
        // The empty sought text is found at 1 whenever the range is not empty.
        {"abc", "", 1, false, 1},
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 1, false, -1},
    });
}

TEST(Find, FoldsOnlyAsciiLetters) {
    expect_finds({
        {"ABC", "b", 1, false, -1},
        {"ABC", "b", 1, true, 2},
        {"abc", "B", 1, true, 2},
        {"xx VaR rUrL=\"", "var rurl=\"", 1, true, 4},
        // Bytes that differ only in bit 5 but are not letters.
        {"[", "{", 1, true, -1},
        {"x@", "X`", 1, true, -1},
        {"z[", "Z{", 1, true, -1},
        // Latin-1 capital and small A with acute: not folded.
        {"\xE1x", "\xC1x", 1, true, -1},
        {"zz\xE1"
         "x",
         "ZZ\xC1"
         "x",
         1, true, -1},
    });
}

TEST(Find, NeverMatchesAtTheSecondByteOfACharacter) {
    expect_finds({
        {kLead + "AA", "A", 1, false, 3},
        {kLead + "A", "A", 1, false, -1},
        {kLead + "a", "A", 1, true, -1},
        {"\xB0\xA1"
         "AB",
         "\xA1"
         "A",
         1, false, -1},
        // Pairs B0 B0 and B0 41 come first, so the next A starts at 5.
        {kLead + kLead + kLead + "AA", "A", 1, false, 5},
        {kLead + kLead + "A", "A", 1, false, 3},
        // The start position is taken as a character start, whatever precedes it.
        {kLead + "A", "A", 2, false, 2},
        // A lead byte at the very end is still a candidate itself.
        {"ab" + kLead, kLead, 1, false, 3},
        {"ab" + kLead, "b" + kLead, 1, false, 2},
    });
}

TEST(Find, ScansLongRunsOfTwoByteCharacters) {
    for (size_t leads : {100000u, 100001u}) {
        SCOPED_TRACE(leads);
        std::string text = "x";
        text.append(leads, '\xB0');
        text += "AA";
        // With an odd run the first A is the second byte of the last pair.
        const auto expected = static_cast<int32_t>(leads % 2 == 0 ? leads + 2 : leads + 3);
        EXPECT_EQ(find(text, "A"), expected);
        EXPECT_EQ(find(text, "a", 1, true), expected);
        EXPECT_EQ(find(text, "AA"), leads % 2 == 0 ? expected : -1);
    }
}

TEST(Middle, CountsPlainBytesAndNeverOverflows) {
    struct Case {
        std::string text;
        int32_t start;
        int32_t length;
        std::string expected;
    };
    const Case cases[] = {
        {"abcdef", 2, 3, "bcd"},
        {"abcdef", 5, 10, "ef"},
        {"abcdef", 1, 6, "abcdef"},
        {"abcdef", 6, 1, "f"},
        {"abcdef", 0, 3, ""},
        {"abcdef", -1, 3, ""},
        {"abcdef", 7, 1, ""},
        {"abcdef", 3, 0, ""},
        {"abcdef", 9, -10, ""},
        {"", 1, 1, ""},
        {"\xB0"
         "AB",
         2, 2, "AB"},
        {"abcdef", 2, kMax, "bcdef"},
        {"abcdef", kMin, 5, ""},
        {"abcdef", kMin, kMax, ""},
        {"abcdef", kMax, kMax, ""},
        {"abcdef", 1, kMin, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " from " + std::to_string(c.start) + " for " + std::to_string(c.length));
        EXPECT_EQ(middle(c.text, c.start, c.length), c.expected);
    }
}

TEST(Split, PiecesLimitsAndDelimiters) {
    struct Case {
        std::string text;
        std::string delimiter;
        std::optional<int32_t> limit;
        Pieces expected;
    };
    const Case cases[] = {
        {"a/b", "/", {}, {"a", "b"}},
        {"a/b/", "/", {}, {"a", "b"}},
        {"/a", "/", {}, {"", "a"}},
        {"a//b", "/", {}, {"a", "", "b"}},
        {"/", "/", {}, {""}},
        {"//", "/", {}, {"", ""}},
        {"abc", "/", {}, {"abc"}},
        {"", "/", {}, {}},
        {"a/b", "", {}, {"a/b"}},
        {"aXb", "x", {}, {"aXb"}},
        {"a::b::", "::", {}, {"a", "b"}},
        {"a/b/c", "/", 1, {"a"}},
        {"a/b/c", "/", 2, {"a", "b"}},
        {"a/b/c", "/", 3, {"a", "b", "c"}},
        {"a/b/c", "/", kMax, {"a", "b", "c"}},
        {"a/b/c", "/", 0, {}},
        {"a/b/c", "/", -1, {}},
        {"a/b/c", "/", kMin, {}},
        {"a/b/", "/", 2, {"a", "b"}},
        // The slash after B0 is its second byte, not a delimiter.
        {kLead + "/x/y", "/", {}, {kLead + "/x", "y"}},
        {"a/" + kLead, "/", {}, {"a", kLead}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " at " + testing::PrintToString(c.delimiter) + " limit " +
                     (c.limit ? std::to_string(*c.limit) : "none"));
        EXPECT_EQ(split(c.text, c.delimiter, c.limit), c.expected);
    }
}

TEST(Split, DefaultsToCommaAndCountsElements) {
    EXPECT_EQ(split("a,b"), (Pieces{"a", "b"}));
    EXPECT_EQ(element_count(split("a/b", "/")), 2);
    EXPECT_EQ(element_count({}), 0);
}

// The two-byte stepping rule spelled out literally, one byte at a time, to
// check the fast search against.
int32_t reference_find(std::string_view text, std::string_view sought, int32_t start, bool ignore_case) {
    const size_t length = text.size();
    const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (from >= length) return -1;
    if (sought.empty()) return 1;
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (size_t at = from; length - at >= sought.size();) {
        bool match = true;
        for (size_t i = 0; i < sought.size() && match; ++i) {
            match = ignore_case ? fold(text[at + i]) == fold(sought[i]) : text[at + i] == sought[i];
        }
        if (match) return static_cast<int32_t>(at + 1);
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
        } else if (at + 1 == length) {
            return -1;
        } else {
            at += 2;
        }
    }
    return -1;
}

Pieces reference_split(std::string_view text, std::string_view delimiter, std::optional<int32_t> limit) {
    int32_t left = limit ? std::max(*limit, 0) : -1;
    if (text.empty() || left == 0) return {};
    if (delimiter.empty()) return {std::string(text)};
    Pieces pieces;
    size_t piece = 0;
    for (size_t at = 0; text.size() - at >= delimiter.size();) {
        if (text.substr(at, delimiter.size()) == delimiter) {
            pieces.emplace_back(text.substr(piece, at - piece));
            at = piece = at + delimiter.size();
            if (limit && --left == 0) return pieces;
        } else if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
        } else if (at + 1 == text.size()) {
            break;
        } else {
            at += 2;
        }
    }
    if (piece < text.size()) pieces.emplace_back(text.substr(piece));
    return pieces;
}

// Texts made of letters in both cases, a slash and two-byte characters whose
// second bytes are letters or slashes, so that every boundary case turns up.
class RandomTexts {
public:
    std::string text(size_t max_length) {
        static constexpr char kAlphabet[] = {'a', 'A', 'b', 'B', '/', '\xB0', '\xB0', '\xE1', '\xC1'};
        std::string s(pick(max_length + 1), ' ');
        for (char& c : s) c = kAlphabet[pick(sizeof kAlphabet)];
        return s;
    }
    std::string sought(const std::string& text) {
        // Half the time a piece of the text itself, so that matches are common.
        if (pick(2) == 0 || text.empty()) return this->text(3);
        const size_t at = pick(text.size());
        return text.substr(at, 1 + pick(3));
    }
    // Long stretches of lead bytes with a rare single-byte character between.
    std::string mostly_two_byte_text(size_t max_length) {
        std::string s = text(max_length);
        for (char& c : s) {
            if (pick(16) != 0) c = '\xB0';
        }
        return s;
    }
    int32_t start(size_t length) { return static_cast<int32_t>(pick(length + 5)) - 2; }
    size_t pick(size_t n) { return static_cast<size_t>(engine_() % n); }

private:
    std::mt19937 engine_{20100813};
};

TEST(Find, AgreesWithByteByByteStepping) {
    RandomTexts random;
    for (int i = 0; i < 40000; ++i) {
        const std::string text = random.text(40);
        const std::string sought = random.sought(text);
        const int32_t start = random.start(text.size());
        const bool ignore_case = random.pick(2) == 1;
        SCOPED_TRACE(testing::PrintToString(text) + " / " + testing::PrintToString(sought) + " from " +
                     std::to_string(start) + (ignore_case ? " ignoring case" : ""));
        ASSERT_EQ(find(text, sought, start, ignore_case), reference_find(text, sought, start, ignore_case));
    }
    for (int i = 0; i < 5000; ++i) {
        const std::string text = random.mostly_two_byte_text(400) + random.text(4);
        const std::string sought = random.text(2);
        SCOPED_TRACE(testing::PrintToString(text) + " / " + testing::PrintToString(sought));
        ASSERT_EQ(find(text, sought), reference_find(text, sought, 1, false));
    }
}

TEST(Split, AgreesWithByteByByteStepping) {
    RandomTexts random;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = random.text(30);
        const std::string delimiter = random.sought(text);
        const std::optional<int32_t> limit =
            random.pick(2) == 0 ? std::nullopt : std::optional<int32_t>(random.start(4));
        SCOPED_TRACE(testing::PrintToString(text) + " at " + testing::PrintToString(delimiter));
        ASSERT_EQ(split(text, delimiter, limit), reference_split(text, delimiter, limit));
    }
}

TEST(Compare, UnsignedBytesAndEmptiness) {
    struct Case {
        std::string a;
        std::string b;
        int expected;
    };
    const Case cases[] = {
        {"", "", 0},      {"abc", "abc", 0}, {"a", "b", -1},   {"b", "a", 1},     {"ab", "abc", -1},
        {"abc", "ab", 1}, {"", "a", -1},     {"\x80", "a", 1}, {"a", "\xFF", -1}, {"\xB0\xA1", "\xB0\xA2", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.a) + " vs " + testing::PrintToString(c.b));
        EXPECT_EQ(compare(c.a, c.b), c.expected);
    }
    EXPECT_TRUE(is_empty(std::string_view{}));
    EXPECT_TRUE(is_empty(""));
    EXPECT_FALSE(is_empty(" "));
    EXPECT_EQ(compare(std::string_view{}, ""), 0);
}

TEST(Length, CountsBytes) {
    EXPECT_EQ(length(std::string_view{}), 0u);
    EXPECT_EQ(length("abc"), 3u);
    EXPECT_EQ(length("\xB0\xA1"), 2u);
}

TEST(Join, ConcatenatesInOrder) {
    EXPECT_EQ(join({"", "a", std::string_view{}}), "a");
    EXPECT_EQ(join({"", "", "", "", ""}), "");
    EXPECT_EQ(join({"http://h/", "12", "/", "abcd", ".ik"}), "http://h/12/abcd.ik");
    EXPECT_EQ(join({"x"}), "x");
}

TEST(Truncate, DropsTheFractionAndSaturates) {
    constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
    struct Case {
        double value;
        int64_t expected;
    };
    const Case cases[] = {
        {9.0, 9},
        {2.7, 2},
        {-2.7, -2},
        {-10.0, -10},
        {-0.5, 0},
        {2147483657.0, 2147483657},
        {-9223372036854775808.0, kMin64},
        {1e300, kMax64},
        {-1e300, kMin64},
        {INFINITY, kMax64},
        {-INFINITY, kMin64},
        {NAN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(truncate(c.value), c.expected);
    }
}

}  // namespace
}  // namespace wm::text
