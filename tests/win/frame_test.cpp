// The text of the fatal stop's error box, byte for byte (GBK, CR LF).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "app/fatal.h"

namespace {

using wm::app::format_allocation_failure;
using wm::app::format_fatal_text;

std::string fatal_text(std::string_view message) {
    std::array<char, 512> out;
    out.fill('#');
    const size_t n = format_fatal_text(message, out);
    return std::string(out.data(), n);
}

TEST(FatalText, HeadLineThenTheMessageOnItsOwnLine) {
    const struct {
        const char* message;
        const char* text;
    } cases[] = {
        {"", "运行时出错!\r\n\r\n"},
        {"分配 1024 字节内存失败!", "运行时出错!\r\n\r\n错误信息：分配 1024 字节内存失败!\r\n"},
        {wm::app::kLayoutUnreadable, "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n"},
        {wm::app::kWindowNotCreated, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
        {"x", "运行时出错!\r\n\r\n错误信息：x\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(fatal_text(c.message), c.text);
    }
}

TEST(FatalText, FullWidthColonAndPlainExclamationMark) {
    // 0xA3BA is the full-width colon in GBK; '!' stays one ASCII byte.
    const std::string text = fatal_text("m");
    EXPECT_NE(text.find("\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA" "m"), std::string::npos) << text;
    EXPECT_EQ(text.find(":"), std::string::npos);
    EXPECT_EQ(text.substr(0, 11), "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!");
}

TEST(FatalText, CutToFitASmallBufferWithoutWritingPastIt) {
    const std::string full = fatal_text("分配 1024 字节内存失败!");
    for (size_t size : {size_t{1}, size_t{2}, size_t{7}, size_t{12}, full.size(), full.size() + 1, full.size() + 9}) {
        SCOPED_TRACE(testing::Message() << "buffer of " << size);
        std::array<char, 128> area;
        area.fill('#');
        const size_t n = format_fatal_text("分配 1024 字节内存失败!", std::span<char>(area.data(), size));
        const size_t fits = std::min(full.size(), size - 1);
        EXPECT_EQ(n, fits);
        EXPECT_EQ(std::string(area.data(), n), full.substr(0, fits));
        EXPECT_EQ(area[n], '\0');
        EXPECT_EQ(area[size], '#') << "written past the end";
    }
    std::array<char, 1> guard{'#'};
    EXPECT_EQ(format_fatal_text("m", std::span<char>(guard.data(), 0)), 0u);
    EXPECT_EQ(guard[0], '#');
}

TEST(AllocationFailure, SizeInDecimal) {
    const struct {
        size_t bytes;
        const char* message;
    } cases[] = {
        {1024, "分配 1024 字节内存失败!"},
        {0, "分配 0 字节内存失败!"},
        {1, "分配 1 字节内存失败!"},
        {4294967295u, "分配 4294967295 字节内存失败!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::array<char, 64> out;
        const size_t n = format_allocation_failure(c.bytes, out);
        EXPECT_EQ(std::string(out.data(), n), c.message);
        EXPECT_EQ(out[n], '\0');
    }
}

TEST(AllocationFailure, CutToFitASmallBuffer) {
    std::array<char, 16> area;
    area.fill('#');
    const size_t n = format_allocation_failure(1024, std::span<char>(area.data(), 8));
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(std::string(area.data(), n), std::string("分配 1024 字节内存失败!").substr(0, 7));
    EXPECT_EQ(area[7], '\0');
    EXPECT_EQ(area[8], '#');
    EXPECT_EQ(format_allocation_failure(1024, std::span<char>(area.data(), 0)), 0u);
}

}  // namespace
