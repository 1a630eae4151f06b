// The frame of the process: start-up, the event loop and shutdown.
#pragma once

namespace wm::app {

// Start-up: prepares the process, creates the main window, runs the creation
// sequence and the event loop. Returns the exit code (0) once the loop ends.
int run();

// Releases everything the program holds; runs at most once.
void shutdown();

}  // namespace wm::app
