// A program that ends at once in the frame's fatal stop, as Wendmere does when
// an allocation of 1024 bytes fails. The end-to-end tests read its error box
// and its exit code; the real program carries no switch to fail on purpose.
#include <windows.h>

#include "app/fatal.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char message[128];
    wm::app::format_allocation_failure(1024, message);
    wm::app::fatal_stop(message);
}
