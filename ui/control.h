// A control of the main window: the window of one layout row and what it owns.
// Child windows are destroyed with their parent; the objects own the rest
// (brushes, fonts, pictures, browser).
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "ui/handles.h"
#include "ui/layout.h"

namespace wm::ui {

class Control {
public:
    Control(const ControlLayout& layout, HWND hwnd);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    const ControlLayout& layout() const { return layout_; }
    Source id() const { return layout_.id; }
    HWND hwnd() const { return hwnd_; }

    // WM_CTLCOLOR* answered by the control itself; null when it has no colours.
    virtual HBRUSH colours(HDC) { return nullptr; }
    // Offered every key-down while the focus is inside the control; true when taken.
    virtual bool translate_accelerator(MSG&) { return false; }

    // The control whose window is `hwnd`, or null.
    static Control* from_window(HWND hwnd);

protected:
    void attach(HWND hwnd);

private:
    const ControlLayout& layout_;
    HWND hwnd_;  // owned by the parent window
};

// Creates the control hidden, as a child of `parent`; null when it cannot be made.
std::unique_ptr<Control> create_control(const ControlLayout& layout, HWND parent);

// Per kind (one file each).
std::unique_ptr<Control> create_edit_box(const ControlLayout& layout, HWND parent);
std::unique_ptr<Control> create_button(const ControlLayout& layout, HWND parent);
std::unique_ptr<Control> create_pic_box(const ControlLayout& layout, HWND parent);
std::unique_ptr<Control> create_trans_label(const ControlLayout& layout, HWND parent);
std::unique_ptr<Control> create_hyper_linker(const ControlLayout& layout, HWND parent);
std::unique_ptr<Control> create_timer(const ControlLayout& layout, HWND parent);
std::unique_ptr<Control> create_html_view(const ControlLayout& layout, HWND parent);

// Shared pieces of the kinds.
HINSTANCE module_instance();
HFONT default_font();
// A font made from the setting, or an empty handle for the default font (also when
// the font cannot be made).
UniqueFont make_font(const FontSetting& font);
HCURSOR pointing_hand_cursor();
// The WM_TIMER id of a timer control.
UINT_PTR timer_id_of(Source id);
// Raises a button's clicked event for a WM_COMMAND that reports a click.
void route_command(WPARAM wparam, LPARAM lparam);

// Base of the kinds that have a window class of their own: the object is
// found at WM_NCCREATE and every message goes to handle().
class OwnWindowControl : public Control {
protected:
    explicit OwnWindowControl(const ControlLayout& layout) : Control(layout, nullptr) {}
    // Registers the class once; returns false when it cannot be registered.
    static bool register_class(const char* name, HCURSOR cursor, HBRUSH background);
    bool create_window(const char* class_name, HWND parent, DWORD ex_style, const char* text);
    virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
};

}  // namespace wm::ui
