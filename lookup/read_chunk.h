// Size of the reads that receive a page body, worked out from the response's
// Content-Length field.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace wm::lookup {

inline constexpr uint32_t kDefaultReadChunk = 10240;
inline constexpr uint32_t kLargestReadChunk = 102400;

// nullopt means the field could not be read (absent or too long). The number
// at the start of the field (leading white space and a sign allowed) plus one,
// at most kLargestReadChunk; kDefaultReadChunk when it is 0 or below or when
// there is no number.
uint32_t read_chunk_size(std::optional<std::string_view> content_length_field);

}  // namespace wm::lookup
