// The notice box: a system message box with no owner window.
#pragma once
#include <windows.h>

namespace wm::ui {

inline constexpr UINT kNoticeStyle = MB_ICONINFORMATION;  // 64
inline constexpr const char* kNoticeTitle = "Pellwick提醒";

// Shows `message` and waits until the user dismisses it. Unless the style asks
// for a system-modal box the box is task-modal. Returns the button pressed as
// the system's button id minus one (OK 0, Cancel 1, ...).
int notice_box(const char* message, UINT style = kNoticeStyle, const char* title = kNoticeTitle);

}  // namespace wm::ui
