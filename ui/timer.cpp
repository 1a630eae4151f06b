// 时钟 / Timer: a window timer of the parent; each WM_TIMER with its id is a tick.
#include "ui/control.h"

namespace wm::ui {

UINT_PTR timer_id_of(Source id) { return 0x100 + static_cast<UINT_PTR>(id); }

namespace {

class Timer final : public Control {
public:
    Timer(const ControlLayout& layout, HWND owner) : Control(layout, nullptr), owner_(owner) {}
    ~Timer() override {
        if (IsWindow(owner_)) KillTimer(owner_, timer_id_of(id()));
    }

private:
    HWND owner_;  // not owned
};

}  // namespace

std::unique_ptr<Control> create_timer(const ControlLayout& layout, HWND parent) {
    if (!SetTimer(parent, timer_id_of(layout.id), layout.period_ms, nullptr)) return nullptr;
    return std::make_unique<Timer>(layout, parent);
}

}  // namespace wm::ui
