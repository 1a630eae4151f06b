#include "ui/events.h"

#include <windows.h>

#include <map>
#include <utility>

namespace wm::ui {
namespace {

unsigned g_gate = 0;

std::map<std::pair<Source, int>, Handler>& bindings() {
    static std::map<std::pair<Source, int>, Handler> table;
    return table;
}

}  // namespace

void bind_event(Source source, int event_number, Handler handler) {
    bindings()[{source, event_number}] = std::move(handler);
}

void clear_bindings() { bindings().clear(); }

Verdict raise_event(Source source, int event_number, const EventArgs& args) {
    if (g_gate > 0) return std::nullopt;
    auto it = bindings().find({source, event_number});
    if (it == bindings().end()) return std::nullopt;
    // Copy the handler: it may run a modal loop during which the table is
    // looked up again.
    Handler handler = it->second;
    return handler(args);
}

void raise_gate() { ++g_gate; }
void lower_gate() {
    if (g_gate > 0) --g_gate;
}

int current_key_state() {
    int keys = 0;
    if (GetKeyState(VK_CONTROL) < 0) keys |= 1;
    if (GetKeyState(VK_SHIFT) < 0) keys |= 2;
    if (GetKeyState(VK_MENU) < 0) keys |= 4;
    return keys;
}

}  // namespace wm::ui
