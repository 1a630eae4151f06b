// 按钮 / Button: the system push button; its clicks arrive as WM_COMMAND at the parent.
#include "ui/control.h"

namespace wm::ui {
namespace {

class Button final : public Control {
public:
    using Control::Control;
};

}  // namespace

std::unique_ptr<Control> create_button(const ControlLayout& layout, HWND parent) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
    if (layout.tab_stop) style |= WS_TABSTOP;
    HWND h = CreateWindowExA(0, "BUTTON", layout.text, style, layout.left, layout.top, layout.width, layout.height,
                             parent, nullptr, module_instance(), nullptr);
    if (!h) return nullptr;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(default_font()), FALSE);
    return std::make_unique<Button>(layout, h);
}

}  // namespace wm::ui
