// 编辑框 / EditBox: the system edit control with its own text and background colours.
#include "ui/control.h"

namespace wm::ui {
namespace {

class EditBox final : public Control {
public:
    EditBox(const ControlLayout& layout, HWND hwnd)
        : Control(layout, hwnd), brush_(CreateSolidBrush(layout.back_colour.resolve())) {}

    // Asked through WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC while read-only).
    HBRUSH colours(HDC dc) override {
        SetTextColor(dc, layout().text_colour.resolve());
        SetBkColor(dc, layout().back_colour.resolve());
        return brush_.get();
    }

private:
    UniqueBrush brush_;
};

}  // namespace

std::unique_ptr<Control> create_edit_box(const ControlLayout& layout, HWND parent) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | ES_LEFT;
    if (layout.read_only) style |= ES_READONLY;
    if (layout.tab_stop) style |= WS_TABSTOP;
    HWND h = CreateWindowExA(WS_EX_STATICEDGE, "EDIT", layout.text, style, layout.left, layout.top, layout.width,
                             layout.height, parent, nullptr, module_instance(), nullptr);
    if (!h) return nullptr;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(default_font()), FALSE);
    SendMessageA(h, EM_LIMITTEXT, 0, 0);
    SendMessageA(h, EM_SETSEL, 0, 0);
    SendMessageA(h, EM_SCROLLCARET, 0, 0);
    return std::make_unique<EditBox>(layout, h);
}

}  // namespace wm::ui
