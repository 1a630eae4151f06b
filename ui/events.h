// Events: a control's window turns a message into an event, and the event
// reaches the handler bound to it, unless the event gate is raised.
#pragma once
#include <functional>
#include <optional>

#include "ui/layout.h"

namespace wm::ui {

// Event numbers; each has a meaning only within its kind of source.
namespace event {
inline constexpr int kCreated = 0;      // main window
inline constexpr int kCanClose = 1;     // main window, takes a verdict
inline constexpr int kWillBeDestroyed = 2;
inline constexpr int kMoved = 3;
inline constexpr int kResized = 4;
inline constexpr int kClicked = 0;      // button
inline constexpr int kTick = 0;         // timer
inline constexpr int kAboutToNavigate = 0;      // HTML view (即将跳转), takes a verdict
inline constexpr int kAboutToOpenWindow = 1;    // HTML view (即将打开新窗口), takes a verdict
inline constexpr int kLeftButtonPressed = -1;   // any control, takes a verdict
}  // namespace event

struct EventArgs {
    int x = 0;
    int y = 0;
    int keys = 0;  // 1 Ctrl, 2 Shift, 4 Alt
};

// A handler's verdict: nullopt when it gives none.
using Verdict = std::optional<bool>;
using Handler = std::function<Verdict(const EventArgs&)>;

void bind_event(Source source, int event_number, Handler handler);
void clear_bindings();

// Calls the bound handler at once; no value when the gate is raised, nothing
// is bound, or the handler gave no verdict.
Verdict raise_event(Source source, int event_number, const EventArgs& args = {});

// While the gate is above 0 no handler runs; raised events are dropped.
void raise_gate();
void lower_gate();

// The key state argument of a mouse event: 1 Ctrl, 2 Shift, 4 Alt.
int current_key_state();

}  // namespace wm::ui
