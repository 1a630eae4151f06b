#include "app/app.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "app/bindings.h"
#include "app/fatal.h"
#include "ui/events.h"
#include "ui/layout.h"
#include "ui/main_window.h"

namespace wm::app {
namespace {

struct State {
    bool loop_entered = false;
    bool shutdown_done = false;
    bool ole_initialised = false;
    DWORD ui_thread = 0;
    std::unique_ptr<ui::MainWindow> window;
};

State& state() {
    static State s;
    return s;
}

// The program's folder becomes the current directory; a path without a
// backslash leaves it as it is.
void enter_program_folder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    char* last = nullptr;
    for (char* p = path; *p; ++p) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
            ++p;  // a trail byte may look like a backslash
            continue;
        }
        if (*p == '\\') last = p;
    }
    if (!last) return;
    *last = '\0';
    SetCurrentDirectoryA(path);
}

// Handles every message already waiting; a quit message stays queued.
void handle_waiting_messages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, WM_QUIT - 1, PM_REMOVE) ||
           PeekMessageA(&m, nullptr, WM_QUIT + 1, 0xFFFFFFFF, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void create_main_window() {
    State& s = state();
    handle_waiting_messages();
    ui::raise_gate();  // whatever the creation itself causes reaches no handler
    s.window = ui::MainWindow::create();
    if (!s.window) fatal_stop(kWindowNotCreated);
    s.window->on_gone([] {
        if (state().loop_entered) PostQuitMessage(0);
    });
    bind_handlers(*s.window);
    s.window->show_controls();
    handle_waiting_messages();
    ui::lower_gate();

    ui::raise_event(ui::Source::Main, ui::event::kCreated);
    if (s.window->exists()) ui::raise_event(ui::Source::Main, ui::event::kMoved);
    if (s.window->exists()) ui::raise_event(ui::Source::Main, ui::event::kResized);
    if (s.window->exists()) ShowWindow(s.window->hwnd(), SW_SHOW);
}

void event_loop() {
    State& s = state();
    s.loop_entered = true;
    if (!s.window || !s.window->exists()) return;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (s.window->pre_translate(m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

}  // namespace

int run() {
    State& s = state();
    s.ui_thread = GetCurrentThreadId();
    OleInitialize(nullptr);
    s.ole_initialised = true;
    enter_program_folder();
    if (!ui::layout_is_sound()) fatal_stop(kLayoutUnreadable);
    create_main_window();
    event_loop();
    return 0;
}

void shutdown() {
    State& s = state();
    ui::raise_gate();  // never lowered again
    if (s.shutdown_done) return;
    s.shutdown_done = true;
    ui::clear_bindings();
    s.window.reset();  // destroys the window if a fatal stop left it standing
    release_components();
    if (s.ole_initialised) {
        OleUninitialize();
        s.ole_initialised = false;
    }
}

}  // namespace wm::app
