// Page fetch of large bodies from a loopback server: time against a bare
// socket read of the same bytes, the growth of time from 8 MiB to 64 MiB, and
// the process's peak memory against the body size. Prints figures; asserts
// nothing but the bodies' bytes.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "lookup/page_fetch.h"
#include "tests/support/http_server.h"

namespace {

using wm::test::HttpServer;
using wm::test::Response;

constexpr uint64_t kMiB = 1024 * 1024;
constexpr int kRounds = 5;

double seconds_now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Peaks {
    uint64_t working_set;
    uint64_t pagefile;
};

Peaks peaks_now() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {counters.PeakWorkingSetSize, counters.PeakPagefileUsage};
}

// The server makes the body as it sends it, so it holds only a small block.
HttpServer body_server(uint64_t size) {
    return HttpServer(
        {Response("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n").with_generated(size)});
}

bool body_is_right(const std::string& body, uint64_t size) {
    if (body.size() != size) return false;
    for (uint64_t i = 0; i < size; i += 4099) {
        if (body[i] != wm::test::generated_byte(i)) return false;
    }
    return body.back() == wm::test::generated_byte(size - 1);
}

// The floor: one GET on a bare socket, reading into a fixed block until the
// server closes; returns the bytes received (head included).
uint64_t bare_socket_read(uint16_t port) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    uint64_t total = 0;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "GET / HTTP/1.0\r\n\r\n";
        send(s, request, sizeof request - 1, 0);
        static char block[64 * 1024];
        for (int got; (got = recv(s, block, sizeof block, 0)) > 0;) total += static_cast<uint64_t>(got);
    }
    closesocket(s);
    return total;
}

template <typename Run>
double best_of(Run run) {
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const double start = seconds_now();
        run();
        best = std::min(best, seconds_now() - start);
    }
    return best;
}

}  // namespace

int main() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const Peaks before = peaks_now();
    std::printf("peak before any fetch: working set %.1f MiB, pagefile %.1f MiB\n", before.working_set / double(kMiB),
                before.pagefile / double(kMiB));
    std::printf("%8s %12s %12s %9s %15s %7s %15s %7s\n", "body", "fetch s", "socket s", "fetch/sock", "peak WS +MiB",
                "/body", "peak PF +MiB", "/body");

    bool right = true;
    double fetch_seconds[2] = {};
    const uint64_t sizes[2] = {8 * kMiB, 64 * kMiB};
    for (int i = 0; i < 2; ++i) {
        const uint64_t size = sizes[i];
        HttpServer server = body_server(size);
        const double socket_seconds = best_of([&] { right &= bare_socket_read(server.port()) > size; });
        fetch_seconds[i] = best_of([&] {
            const std::string body = wm::lookup::page_fetch(server.url("/"));
            right &= body_is_right(body, size);
        });
        const Peaks after = peaks_now();
        const double ws = double(after.working_set - before.working_set);
        const double pf = double(after.pagefile - before.pagefile);
        std::printf("%5llu MiB %12.3f %12.3f %9.2fx %15.1f %6.2fx %15.1f %6.2fx\n",
                    static_cast<unsigned long long>(size / kMiB), fetch_seconds[i], socket_seconds,
                    fetch_seconds[i] / socket_seconds, ws / double(kMiB), ws / double(size), pf / double(kMiB),
                    pf / double(size));
    }
    std::printf("fetch time 64 MiB / 8 MiB: %.2fx (linear growth: 8x)\n", fetch_seconds[1] / fetch_seconds[0]);
    // Wine fills PeakPagefileUsage with the current anonymous memory, not a peak;
    // its PeakWorkingSetSize is the true peak resident size.
    std::printf(
        "(peaks grow from the figures before any fetch; under Wine only the working set"
        " figure is a true peak)\n");
    wm::lookup::close_page_fetch_root();
    WSACleanup();
    if (!right) {
        std::printf("WRONG BODY: a fetch did not return the bytes served\n");
        return 1;
    }
    return 0;
}
