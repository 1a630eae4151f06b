// 图片框 / PicBox: a window of its own class that shows one of the program's pictures.
#include "ui/control.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.PicBox";

class PicBox final : public OwnWindowControl {
public:
    explicit PicBox(const ControlLayout& layout) : OwnWindowControl(layout) {}
    bool create(HWND parent) {
        return register_class(kClassName, nullptr, nullptr) && create_window(kClassName, parent, 0, "");
    }

private:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) return 1;  // painted whole in WM_PAINT
        if (msg == WM_PAINT) {
            PaintScope paint(hwnd());
            RECT client;
            GetClientRect(hwnd(), &client);
            UniqueBrush back{CreateSolidBrush(layout().back_colour.resolve())};
            FillRect(paint.dc(), &client, back.get());
            return 0;
        }
        return OwnWindowControl::handle(msg, wp, lp);
    }
};

}  // namespace

std::unique_ptr<Control> create_pic_box(const ControlLayout& layout, HWND parent) {
    auto box = std::make_unique<PicBox>(layout);
    if (!box->create(parent)) return nullptr;
    return box;
}

}  // namespace wm::ui
