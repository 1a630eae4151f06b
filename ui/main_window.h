// The main window: a black, fixed-size top-level window holding the 21 controls.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/layout.h"

namespace wm::ui {

class MainWindow {
public:
    // Creates the window and every control, all hidden. Null when the window
    // or any control cannot be made; whatever was made is destroyed again.
    static std::unique_ptr<MainWindow> create();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    HWND hwnd() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr; }
    Control* control(Source id) const;

    // Shows the controls the layout marks visible, without activating them.
    void show_controls();

    // Called once the window is gone (WM_NCDESTROY).
    void on_gone(std::function<void()> callback) { on_gone_ = std::move(callback); }

    // Edit box texts: the whole text, as the caller's own copy.
    std::string text(Source edit_box) const;
    void set_text(Source edit_box, std::string_view text);

    // Gives the window the outer width w (clamped into 0..32627), keeping its
    // height, place and z-order; only the right edge moves.
    void set_width(int w);

    // Keyboard handling ahead of the focused control; true when the message
    // was consumed.
    bool pre_translate(MSG& msg);

private:
    MainWindow() = default;
    bool create_window();
    bool create_controls();
    void move_focus(bool backwards);
    Control* control_holding(HWND focus) const;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    HWND hwnd_ = nullptr;  // destroyed by ~MainWindow when still alive
    HICON icon_ = nullptr;  // shared resource icon, not owned
    std::vector<std::unique_ptr<Control>> controls_;
    HWND last_focus_ = nullptr;
    std::function<void()> on_gone_;
};

}  // namespace wm::ui
