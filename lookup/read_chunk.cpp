#include "lookup/read_chunk.h"

namespace wm::lookup {
namespace {

// The white space that the C library skips before a number; no locale.
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

uint32_t read_chunk_size(std::optional<std::string_view> content_length_field) {
    if (!content_length_field) return kDefaultReadChunk;
    std::string_view field = *content_length_field;
    size_t i = 0;
    while (i < field.size() && is_space(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';

    // Every announced length from kLargestReadChunk up gives the same chunk, so
    // the value saturates there and any number of digits is safe.
    uint32_t value = 0;
    for (; i < field.size() && is_digit(field[i]); ++i) {
        if (value < kLargestReadChunk) value = value * 10 + static_cast<uint32_t>(field[i] - '0');
    }
    if (negative || value == 0) return kDefaultReadChunk;
    return value >= kLargestReadChunk ? kLargestReadChunk : value + 1;
}

}  // namespace wm::lookup
