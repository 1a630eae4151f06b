// 超文本浏览框 / HtmlViewer: a frame window that hosts the system's web browser.
#include "ui/control.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.HtmlViewer";

class HtmlView final : public OwnWindowControl {
public:
    explicit HtmlView(const ControlSpec& spec) : OwnWindowControl(spec) {}
    bool create(HWND parent) {
        return register_class(kClassName, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) &&
               create_window(kClassName, parent, 0, "");
    }
};

}  // namespace

std::unique_ptr<Control> create_html_view(const ControlSpec& spec, HWND parent) {
    auto view = std::make_unique<HtmlView>(spec);
    if (!view->create(parent)) return nullptr;
    return view;
}

}  // namespace wm::ui
