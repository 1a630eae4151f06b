// Binds the layout's events to the program's handlers.
#pragma once
#include "ui/main_window.h"

namespace wm::app {

void bind_handlers(ui::MainWindow& window);

// Lets every component release what it still holds at shutdown.
void release_components();

}  // namespace wm::app
