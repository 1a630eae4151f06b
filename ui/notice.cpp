#include "ui/notice.h"

namespace wm::ui {

int notice_box(const char* message, UINT style, const char* title) {
    if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
    return MessageBoxA(nullptr, message, title ? title : "信息：", style) - 1;
}

}  // namespace wm::ui
