#include "lookup/page_fetch.h"

// clang-format off
#include <windows.h>
#include <wininet.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "lookup/read_chunk.h"

namespace wm::lookup {
namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kMethod[] = "GET";
constexpr char kVersion[] = "HTTP/1.0";
// The accept-type entry given when the request is opened (with its space
// before CR LF) and the header text given when it is sent; how WinINet merges
// the two is its own affair: the server receives one "Accept: */*".
constexpr char kAcceptEntry[] = "Accept: */* \r\n";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kExtraHeadersLength = 15;
static_assert(sizeof kExtraHeaders - 1 == kExtraHeadersLength);

constexpr DWORD kCanonicalStart = 2084;
constexpr DWORD kHostCapacity = 256;
constexpr DWORD kPathCapacity = 2048;
constexpr DWORD kUserCapacity = 128;
constexpr DWORD kPasswordCapacity = 128;
constexpr DWORD kContentLengthCapacity = 32;

// Always from the network, never stored in the cache; redirects, cookies and
// certificate checks stay as WinINet has them.
constexpr DWORD kHttpFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD kHttpsFlags = kHttpFlags | INTERNET_FLAG_SECURE;

// An owned HINTERNET, closed when it goes away.
class InternetHandle {
public:
    constexpr InternetHandle() = default;
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    InternetHandle(InternetHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    InternetHandle& operator=(InternetHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() { reset(); }

    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset() {
        if (handle_) InternetCloseHandle(std::exchange(handle_, nullptr));
    }

private:
    HINTERNET handle_ = nullptr;
};

// The process's root handle: opened by the first fetch that needs it, shared
// by every later one, closed by close_page_fetch_root() (or at exit).
InternetHandle g_root;

// The connection's service: HTTP for http and https. Any other scheme keeps
// its own (WinINet numbers ftp and gopher like their services; the rest name
// none), so no HTTP request can be opened on that connection.
DWORD service_for(INTERNET_SCHEME scheme) {
    switch (scheme) {
        case INTERNET_SCHEME_HTTP:
        case INTERNET_SCHEME_HTTPS:
            return INTERNET_SERVICE_HTTP;
        case INTERNET_SCHEME_FTP:
            return INTERNET_SERVICE_FTP;
        case INTERNET_SCHEME_GOPHER:
            return INTERNET_SERVICE_GOPHER;
        default:
            return static_cast<DWORD>(scheme);
    }
}

// The address as WinINet canonicalises it, unsafe characters left as they
// are; nullopt when it refuses the address.
std::optional<std::string> canonicalize(const std::string& address) {
    std::string canonical(kCanonicalStart, '\0');
    DWORD length = kCanonicalStart;
    if (!InternetCanonicalizeUrlA(address.c_str(), canonical.data(), &length, ICU_NO_ENCODE)) {
        // `length` now holds the size asked for; one byte more covers a count
        // that leaves the terminating zero out.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length < kCanonicalStart ||
            length >= canonical.max_size() - 1) {
            return std::nullopt;
        }
        canonical.assign(length + 1, '\0');
        length = static_cast<DWORD>(canonical.size());
        if (!InternetCanonicalizeUrlA(address.c_str(), canonical.data(), &length, ICU_NO_ENCODE)) {
            return std::nullopt;
        }
    }
    canonical.resize(std::strlen(canonical.c_str()));
    return canonical;
}

// The parts of an address; the path keeps the query and any fragment.
struct AddressParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = 0;
    char host[kHostCapacity] = {};
    char path[kPathCapacity] = {};
    char user[kUserCapacity] = {};
    char password[kPasswordCapacity] = {};
};

bool crack(const std::string& canonical, AddressParts& parts) {
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.lpszHostName = parts.host;
    components.dwHostNameLength = kHostCapacity;
    components.lpszUrlPath = parts.path;
    components.dwUrlPathLength = kPathCapacity;
    components.lpszUserName = parts.user;
    components.dwUserNameLength = kUserCapacity;
    components.lpszPassword = parts.password;
    components.dwPasswordLength = kPasswordCapacity;
    if (!InternetCrackUrlA(canonical.c_str(), 0, 0, &components)) return false;
    parts.scheme = components.nScheme;
    parts.port = components.nPort;
    return true;
}

// The proxy settings: the root handle follows the system's preconfigured
// proxy from now on, and this connection has no proxy user or password.
// Failures are of no consequence to the fetch.
void set_proxy_options(HINTERNET root, HINTERNET connection) {
    INTERNET_PROXY_INFO proxy{INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
    static_assert(sizeof(void*) != 4 || sizeof proxy == 12);
    InternetSetOptionA(root, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
    char empty[] = "";
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, empty, sizeof empty);
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, sizeof empty);
}

// The Content-Length field as text, when the response has one that fits.
std::optional<std::string_view> content_length_field(HINTERNET request, char (&field)[kContentLengthCapacity]) {
    DWORD size = kContentLengthCapacity;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, field, &size, nullptr)) {
        return std::nullopt;
    }
    return std::string_view(field, std::min(size, kContentLengthCapacity - 1));
}

}  // namespace

std::string page_fetch(std::string_view address) {
    // A text ends at its first zero byte.
    address = address.substr(0, address.find('\0'));
    if (address.empty()) return {};

    if (!g_root) {
        g_root = InternetHandle(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (!g_root) return {};
    }

    const std::optional<std::string> canonical = canonicalize(std::string(address));
    if (!canonical) return {};
    AddressParts parts;
    if (!crack(*canonical, parts)) return {};

    // Declared in this order so that the request is closed before the connection.
    InternetHandle connection(InternetConnectA(g_root.get(), parts.host, parts.port, parts.user, parts.password,
                                               service_for(parts.scheme), 0, 0));
    if (!connection) return {};
    set_proxy_options(g_root.get(), connection.get());

    if (char* fragment = std::strchr(parts.path, '#')) *fragment = '\0';
    const char* accept_types[] = {kAcceptEntry, nullptr};
    const DWORD flags = parts.scheme == INTERNET_SCHEME_HTTPS ? kHttpsFlags : kHttpFlags;
    InternetHandle request(
        HttpOpenRequestA(connection.get(), kMethod, parts.path, kVersion, nullptr, accept_types, flags, 0));
    if (!request) return {};
    if (!HttpSendRequestA(request.get(), kExtraHeaders, kExtraHeadersLength, nullptr, 0)) return {};

    // The announced length only sizes the reads: the body is read until a read
    // delivers nothing or fails, past that length or short of it, whatever the
    // response status.
    char field[kContentLengthCapacity];
    const uint32_t chunk_size = read_chunk_size(content_length_field(request.get(), field));
    const std::unique_ptr<char[]> chunk(new (std::nothrow) char[chunk_size]);
    if (!chunk) return {};

    // A read waits until the chunk is full or the body has ended; when the
    // connection breaks meanwhile, the read fails but still reports the bytes it
    // has put into the chunk, and those count as received.
    std::string body;
    for (;;) {
        DWORD received = 0;
        const bool read = InternetReadFile(request.get(), chunk.get(), chunk_size, &received);
        received = std::min<DWORD>(received, chunk_size);
        if (received > body.max_size() - body.size()) throw std::bad_alloc();
        body.append(chunk.get(), received);  // grows geometrically
        if (!read || received == 0) break;
    }
    return body;
}

void close_page_fetch_root() { g_root.reset(); }

}  // namespace wm::lookup
