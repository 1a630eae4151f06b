// The lookup's small text toolkit. A text is a run of ANSI bytes with no zero
// byte inside; an absent text and an empty text are the same value. Positions
// are 1-based and -1 means "not found". Every function is pure and throws
// nothing but std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wm::text {

inline constexpr int32_t kNotFound = -1;

// The bytes before the first zero byte (all of them when there is none).
std::string bytes_to_text(std::string_view bytes);

// 1-based position of the first occurrence of `sought` at or after `start`
// (start <= 0 counts as 1), or -1. A byte >= 0x80 opens a two-byte character
// and is stepped over together with the byte after it, so a match never
// begins on a second byte. ignore_case folds only the ASCII letters A-Z.
int32_t find(std::string_view text, std::string_view sought, int32_t start = 1, bool ignore_case = false);

// `length` bytes from the 1-based byte `start`, cut at the end of the text;
// empty when start < 1, start is past the end or length <= 0.
std::string middle(std::string_view text, int32_t start, int32_t length);

// Pieces between occurrences of `delimiter` (same two-byte stepping as find).
// A trailing delimiter adds no empty piece; a limit stops after that many
// delimiters and drops the rest, a negative limit counts as 0.
std::vector<std::string> split(std::string_view text, std::string_view delimiter = ",",
                               std::optional<int32_t> limit = std::nullopt);

int32_t element_count(const std::vector<std::string>& pieces);

// -1, 0 or +1, comparing bytes as unsigned values; a prefix is the smaller.
int compare(std::string_view a, std::string_view b);

bool is_empty(std::string_view text);

size_t length(std::string_view text);

std::string join(std::initializer_list<std::string_view> parts);

// Drops the fractional part. Out-of-range values saturate and NaN gives 0.
int64_t truncate(double value);

}  // namespace wm::text
