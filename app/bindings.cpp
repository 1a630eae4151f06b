#include "app/bindings.h"

#include "ui/events.h"

namespace wm::app {
namespace {

using ui::EventArgs;
using ui::Source;
using ui::Verdict;

// Runs once, after the window and its controls exist and before the window
// is shown.
void creation_sequence(ui::MainWindow&) {}

// Runs once while the main window is being destroyed.
void closing_step() {}

}  // namespace

void bind_handlers(ui::MainWindow& window) {
    ui::bind_event(Source::Main, ui::event::kCreated, [&window](const EventArgs&) -> Verdict {
        creation_sequence(window);
        return std::nullopt;
    });
    ui::bind_event(Source::Main, ui::event::kWillBeDestroyed, [](const EventArgs&) -> Verdict {
        closing_step();
        return std::nullopt;
    });
}

void release_components() {}

}  // namespace wm::app
