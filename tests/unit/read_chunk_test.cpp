#include "lookup/read_chunk.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace wm::lookup {
namespace {

TEST(ReadChunkSize, FollowsTheAnnouncedLength) {
    struct Case {
        std::optional<std::string> field;
        uint32_t expected;
    };
    const Case cases[] = {
        {std::nullopt, 10240},
        {"", 10240},
        {"abc", 10240},
        {"0", 10240},
        {"-5", 10240},
        {"- 5", 10240},
        {"1", 2},
        {"5000", 5001},
        {"  5000", 5001},
        {"\t\r\n5000", 5001},
        {"+5000", 5001},
        {"5000abc", 5001},
        {"12 34", 13},
        {"102398", 102399},
        {"102399", 102400},
        {"102400", 102400},
        {"500000", 102400},
        {"4294967297", 102400},
        {"99999999999999999999", 102400},
        {"-99999999999999999999", 10240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field ? "\"" + *c.field + "\"" : "no field");
        const std::optional<std::string_view> field =
            c.field ? std::optional<std::string_view>(*c.field) : std::nullopt;
        EXPECT_EQ(read_chunk_size(field), c.expected);
    }
}

}  // namespace
}  // namespace wm::lookup
