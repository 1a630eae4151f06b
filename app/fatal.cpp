#include "app/fatal.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "ui/events.h"

namespace wm::app {
namespace {

// Appends as much of `part` as fits, keeping room for the terminating zero.
void append(std::span<char> out, size_t& used, std::string_view part) {
    if (out.empty()) return;
    size_t n = std::min(part.size(), out.size() - 1 - used);
    std::memcpy(out.data() + used, part.data(), n);
    used += n;
    out[used] = '\0';
}

}  // namespace

size_t format_fatal_text(std::string_view message, std::span<char> out) {
    size_t used = 0;
    if (!out.empty()) out[0] = '\0';
    append(out, used, "运行时出错!\r\n\r\n");
    if (!message.empty()) {
        append(out, used, "错误信息：");
        append(out, used, message);
        append(out, used, "\r\n");
    }
    return used;
}

size_t format_allocation_failure(size_t n, std::span<char> out) {
    if (out.empty()) return 0;
    int len = std::snprintf(out.data(), out.size(), "分配 %llu 字节内存失败!", static_cast<unsigned long long>(n));
    return len < 0 ? 0 : std::min(static_cast<size_t>(len), out.size() - 1);
}

void fatal_stop(std::string_view message) noexcept {
    ui::raise_gate();  // never lowered: no handler runs from here on
    static char text[4096];
    format_fatal_text(message, text);
    MessageBoxA(nullptr, text, "错误", MB_OK | MB_ICONERROR);
    shutdown();
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace wm::app
