// 透明标签 / TransLabel: paints its text straight onto whatever lies beneath it.
#include "ui/control.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.TransLabel";

UINT draw_format(const LabelSettings& l) {
    UINT f = DT_NOCLIP;
    f |= l.horizontal == 1 ? DT_CENTER : l.horizontal == 2 ? DT_RIGHT : DT_LEFT;
    if (l.wrap) {
        f |= DT_WORDBREAK | DT_VCENTER;
    } else {
        f |= DT_SINGLELINE;
        f |= l.vertical == 0 ? DT_TOP : l.vertical == 2 ? DT_BOTTOM : DT_VCENTER;
    }
    return f;
}

class TransLabel final : public OwnWindowControl {
public:
    explicit TransLabel(const ControlLayout& layout)
        : OwnWindowControl(layout), font_(make_font(layout.font)), colour_(layout.text_colour.resolve()) {}
    bool create(HWND parent) {
        return register_class(kClassName, nullptr, nullptr) &&
               create_window(kClassName, parent, WS_EX_TRANSPARENT, layout().text);
    }

private:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) return 1;  // no background of its own
        if (msg == WM_PAINT) {
            PaintScope paint(hwnd());
            draw(paint.dc());
            return 0;
        }
        return OwnWindowControl::handle(msg, wp, lp);
    }

    void draw(HDC dc) const {
        const char* text = layout().text;
        if (!*text) return;
        ScopedSelect font(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : default_font());
        SetBkMode(dc, TRANSPARENT);
        const LabelSettings& l = layout().label;
        const UINT format = draw_format(l);
        RECT r;
        GetClientRect(hwnd(), &r);
        auto draw_at = [&](COLORREF colour, int dx, int dy) {
            RECT moved = r;
            OffsetRect(&moved, dx, dy);
            SetTextColor(dc, colour);
            DrawTextA(dc, text, -1, &moved, format);
        };
        const COLORREF white = RGB(255, 255, 255);
        switch (l.effect) {
            case 1:
                draw_at(white, 1, 1);
                draw_at(colour_, 0, 0);
                break;
            case 2:
                draw_at(white, 0, 0);
                draw_at(colour_, 1, 1);
                break;
            case 3:
                draw_at(RGB(0, 0, 0), 2, 2);
                draw_at(colour_, 0, 0);
                break;
            default:
                draw_at(colour_, 0, 0);
                break;
        }
    }

    UniqueFont font_;
    COLORREF colour_;
};

}  // namespace

std::unique_ptr<Control> create_trans_label(const ControlLayout& layout, HWND parent) {
    auto label = std::make_unique<TransLabel>(layout);
    if (!label->create(parent)) return nullptr;
    return label;
}

}  // namespace wm::ui
