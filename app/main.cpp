#include <windows.h>

#include <cstdlib>
#include <new>

#include "app/app.h"
#include "app/fatal.h"

// Memory that cannot be had stops the program with the size that was asked for.
void* operator new(std::size_t n) {
    if (void* p = std::malloc(n ? n : 1)) return p;
    static char message[128];
    wm::app::format_allocation_failure(n, message);
    wm::app::fatal_stop(message);
}
void* operator new[](std::size_t n) { return operator new(n); }
// Callers that ask not to be stopped get nothing instead.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n ? n : 1); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n ? n : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int code = wm::app::run();
    wm::app::shutdown();
    return code;
}
