// 超级链接框 / HyperLinker: an underlined caption in the link's colour.
#include "ui/control.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.HyperLinker";

class HyperLinker final : public OwnWindowControl {
public:
    explicit HyperLinker(const ControlSpec& spec) : OwnWindowControl(spec), font_(make_font(spec.font)) {}
    bool create(HWND parent) {
        return register_class(kClassName, pointing_hand_cursor(), nullptr) &&
               create_window(kClassName, parent, 0, spec().text);
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
        UniqueBrush back{CreateSolidBrush(spec().back_colour.resolve())};
        FillRect(dc, &r, back.get());
        ScopedSelect font(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : default_font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, spec().link.normal.resolve());
        const char* caption = *spec().text ? spec().text : spec().link.web_address;
        DrawTextA(dc, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    }

    UniqueFont font_;
};

}  // namespace

std::unique_ptr<Control> create_hyper_linker(const ControlSpec& spec, HWND parent) {
    auto link = std::make_unique<HyperLinker>(spec);
    if (!link->create(parent)) return nullptr;
    return link;
}

}  // namespace wm::ui
