// The page fetch against scripted servers on the loopback interface.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "lookup/page_fetch.h"
#include "tests/support/http_server.h"

namespace wm::lookup {
namespace {

using std::chrono::milliseconds;
using test::http_response;
using test::HttpServer;
using test::Response;

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

std::string generated(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = test::generated_byte(i);
    return bytes;
}

std::vector<std::string> lines_of(const std::string& head) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = head.find("\r\n", start)) != std::string::npos; start = end + 2) {
        if (end > start) lines.push_back(head.substr(start, end - start));
    }
    return lines;
}

bool starts_with_ignoring_case(const std::string& line, std::string_view prefix) {
    return line.size() >= prefix.size() && _strnicmp(line.c_str(), prefix.data(), prefix.size()) == 0;
}

// A loopback port on which nothing listens: bound once, then let go.
uint16_t closed_port() {
    WSADATA wsa;
    EXPECT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&address), &length), 0);
    closesocket(s);
    WSACleanup();
    return ntohs(address.sin_port);
}

class PageFetch : public testing::Test {
protected:
    // Every test starts without a root handle, as the program does.
    void SetUp() override { close_page_fetch_root(); }
    void TearDown() override { close_page_fetch_root(); }
};

TEST_F(PageFetch, SendsOneGetWithTheFixedHeaders) {
    struct Case {
        const char* name;
        std::string prefix;  // before "127.0.0.1:<port>"
        std::string path;    // after it
        std::string target;  // the request target the server should see
    };
    // Long enough to go past the first canonical-address buffer of 2084 bytes.
    std::string long_path(1901, 'q');
    long_path[0] = '/';
    const Case cases[] = {
        {"query kept, fragment cut", "http://", "/song/page.htm?id=7#top", "/song/page.htm?id=7"},
        {"fragment cut at its first mark", "http://", "/a#b#c", "/a"},
        {"no path", "http://", "", "/"},
        {"address longer than the first buffer", "http://" + std::string(127, 'u') + ":" + std::string(127, 'p') + "@",
         long_path, long_path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpServer server({http_response("200 OK", "Content-Length: 5\r\n", "hello")});
        EXPECT_EQ(page_fetch(c.prefix + "127.0.0.1:" + std::to_string(server.port()) + c.path), "hello");

        const std::vector<std::string> requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        const std::vector<std::string> lines = lines_of(requests[0]);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "GET " + c.target + " HTTP/1.0");
        std::vector<std::string> accepts, agents;
        for (const std::string& line : lines) {
            if (starts_with_ignoring_case(line, "Accept:")) accepts.push_back(line);
            if (starts_with_ignoring_case(line, "User-Agent:")) agents.push_back(line);
            EXPECT_FALSE(starts_with_ignoring_case(line, "Referer:")) << line;
        }
        EXPECT_EQ(accepts, std::vector<std::string>{"Accept: */*"});
        EXPECT_EQ(agents, std::vector<std::string>{std::string("User-Agent: ") + kAgent});
    }
}

TEST_F(PageFetch, ReturnsTheBodyAsReceived) {
    const std::string body = generated(10000);
    const std::string with_length = http_response("200 OK", "Content-Length: 10000\r\n", body);
    const size_t head = with_length.size() - body.size();
    const std::string zero_inside = std::string("abc\0def", 7) + generated(20000) + '\0';
    struct Case {
        const char* name;
        Response response;
        std::string expected;
    };
    const Case cases[] = {
        // The announced length only sizes the reads. Wine hands over whatever
        // came in with the head, so here the bytes past the length arrive and
        // must all be read. (When the body comes only after the head, Wine
        // itself ends the body at the announced length; that is the platform's
        // doing and not tested here.)
        {"Content-Length shorter than the body", http_response("200 OK", "Content-Length: 5000\r\n", generated(8000)),
         generated(8000)},
        {"no Content-Length, several default reads", http_response("200 OK", "", generated(25000)), generated(25000)},
        {"several largest reads",
         Response(http_response("200 OK", "Content-Length: 300000\r\n", "")).with_generated(300000), generated(300000)},
        {"Content-Length of 20 digits",
         http_response("200 OK", "Content-Length: 99999999999999999999\r\n", generated(12000)), generated(12000)},
        {"Content-Length too long for its field",
         http_response("200 OK", "Content-Length: " + std::string(40, '9') + "\r\n", generated(12000)),
         generated(12000)},
        {"body arriving in two parts", Response(with_length).with_pause(head + 3000, milliseconds(50)), body},
        {"404 with an HTML body",
         http_response("404 Not Found", "Content-Type: text/html\r\n", "<html><body>no such page</body></html>"),
         "<html><body>no such page</body></html>"},
        {"zero bytes inside the body", http_response("200 OK", "", zero_inside), zero_inside},
        {"connection closed after 3000 of 10000 bytes", with_length.substr(0, head + 3000), body.substr(0, 3000)},
        {"connection reset after 3000 of 10000 bytes", Response(with_length).with_reset(head + 3000),
         body.substr(0, 3000)},
        // Wine's read then waits for the rest of its chunk and fails when the
        // reset comes, reporting the 3000 bytes it holds.
        {"connection reset while a read waits for more",
         Response(with_length).with_pause(head + 3000, milliseconds(50)).with_reset(head + 3000), body.substr(0, 3000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpServer server({c.response});
        const std::string received = page_fetch(server.url("/page"));
        EXPECT_EQ(received.size(), c.expected.size());
        EXPECT_TRUE(received == c.expected);  // no dump of bodies this size
        EXPECT_EQ(server.requests().size(), 1u);
    }
}

TEST_F(PageFetch, FollowsRedirects) {
    HttpServer server({http_response("302 Found", "Location: /final\r\nContent-Length: 5\r\n", "moved"),
                       http_response("200 OK", "", "final")});
    EXPECT_EQ(page_fetch(server.url("/first")), "final");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(lines_of(requests[1]).at(0), "GET /final HTTP/1.0");
}

// WinINet answers a Basic challenge with the user name and password of the
// connection, which come from the address.
TEST_F(PageFetch, PassesTheAddressCredentialsToTheConnection) {
    HttpServer server({http_response("401 Unauthorized", "WWW-Authenticate: Basic realm=\"songs\"\r\n", "denied"),
                       http_response("200 OK", "", "let in")});
    EXPECT_EQ(page_fetch("http://user:pw@127.0.0.1:" + std::to_string(server.port()) + "/"), "let in");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::vector<std::string> lines = lines_of(requests[1]);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Authorization: Basic dXNlcjpwdw=="), lines.end()) << requests[1];
}

TEST_F(PageFetch, AddressesThatSendNoRequest) {
    HttpServer server({http_response("200 OK", "", "body")});
    const std::string here = "127.0.0.1:" + std::to_string(server.port());
    const std::string addresses[] = {
        "",
        here + "/page",                // no scheme
        "gopher://" + here + "/page",  // no HTTP request on other services
        "file:///c:/windows/win.ini",
        "mailto:someone@example.com",
        "http://" + here + "/" + std::string(2047, 'q'),  // path beyond its capacity
    };
    for (const std::string& address : addresses) {
        SCOPED_TRACE(address.substr(0, 60));
        EXPECT_EQ(page_fetch(address), "");
    }
    EXPECT_EQ(server.connections(), 0u);
}

TEST_F(PageFetch, UnreachableServersGiveNothing) {
    const std::string addresses[] = {
        "http://no-such-host.invalid/page",
        "http://127.0.0.1:" + std::to_string(closed_port()) + "/page",
    };
    for (const std::string& address : addresses) {
        SCOPED_TRACE(address);
        EXPECT_EQ(page_fetch(address), "");
    }
}

// The TLS server of tests/support/tls_server.py, started by a CTest fixture
// that names its directory in WM_TLS_SERVER_DIR. Its certificate is
// self-signed, so WinINet ends the handshake (ERROR_INTERNET_INVALID_CA).
TEST_F(PageFetch, HttpsWithAnUntrustedCertificateGivesNothing) {
    const char* directory = std::getenv("WM_TLS_SERVER_DIR");
    if (!directory) GTEST_SKIP() << "WM_TLS_SERVER_DIR is not set (the CTest fixture sets it)";
    int port = 0;
    std::ifstream(std::string(directory) + "/port") >> port;
    ASSERT_NE(port, 0);
    const std::string log_path = std::string(directory) + "/log";
    const auto log_lines = [&] {
        std::vector<std::string> lines;
        std::ifstream log(log_path);
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines;
    };
    const size_t before = log_lines().size();

    EXPECT_EQ(page_fetch("https://127.0.0.1:" + std::to_string(port) + "/page"), "");
    // The server logs each connection as it arrives, before its handshake.
    const std::vector<std::string> lines = log_lines();
    const std::vector<std::string> fresh(lines.begin() + std::min(before, lines.size()), lines.end());
    EXPECT_EQ(fresh, std::vector<std::string>{"tls"}) << "one connection, opened with TLS";
}

TEST_F(PageFetch, KeepsItsRootHandleUntilClosedAndOpensAnotherAfter) {
    HttpServer server({http_response("200 OK", "", "page")});
    EXPECT_EQ(page_fetch(server.url("/1")), "page");
    EXPECT_EQ(page_fetch(server.url("/2")), "page");
    close_page_fetch_root();
    close_page_fetch_root();
    EXPECT_EQ(page_fetch(server.url("/3")), "page");
    EXPECT_EQ(server.requests().size(), 3u);
}

}  // namespace
}  // namespace wm::lookup
