// 超级链接框 / HyperLinker: an underlined caption in the link's colour.
#include "ui/control.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.HyperLinker";

class HyperLinker final : public OwnWindowControl {
public:
    explicit HyperLinker(const ControlLayout& layout) : OwnWindowControl(layout), font_(make_font(layout.font)) {}
    bool create(HWND parent) {
        return register_class(kClassName, pointing_hand_cursor(), nullptr) &&
               create_window(kClassName, parent, 0, layout().text);
    }

private:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT) {
            PaintScope paint(hwnd());
            draw(paint.dc());
            return 0;
        }
        return OwnWindowControl::handle(msg, wp, lp);
    }

    void draw(HDC dc) const {
        RECT r;
        GetClientRect(hwnd(), &r);
        UniqueBrush back{CreateSolidBrush(layout().back_colour.resolve())};
        FillRect(dc, &r, back.get());
        ScopedSelect font(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : default_font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, layout().link.normal.resolve());
        const char* caption = *layout().text ? layout().text : layout().link.web_address;
        DrawTextA(dc, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    }

    UniqueFont font_;
};

}  // namespace

std::unique_ptr<Control> create_hyper_linker(const ControlLayout& layout, HWND parent) {
    auto link = std::make_unique<HyperLinker>(layout);
    if (!link->create(parent)) return nullptr;
    return link;
}

}  // namespace wm::ui
