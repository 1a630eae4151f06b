// Cutting the media path out of a large song page, against a plain
// std::string_view::find / memmem of the same two markers over the same bytes.
// Prints the figures and the ratio; timing is never asserted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "lookup/extract.h"
#include "lookup/text.h"

namespace {

constexpr size_t kPageSize = 16u << 20;

// An HTML page of song links, scripts and GBK text, with the media path near
// the end, so that both marker searches cross nearly all of it.
std::string make_page() {
    std::mt19937 engine(7);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(engine() % n); };
    std::string page = "<html><head><meta charset=\"gb2312\"><title>DJ</title></head><body>\n";
    const std::string tail = "<script type=\"text/javascript\">var rurl=\"12/abcd.wma\";var zurl=\"" +
                             std::string(wm::lookup::kWebHost) + "\";</script>\n</body></html>\n";
    while (page.size() < kPageSize - tail.size() - 1024) {
        switch (pick(4)) {
            case 0:
                page += "<li><a href=\"/mp3-dj/orrindale_" + std::to_string(pick(99999)) +
                        ".html\" target=\"_blank\" title=\"song\">";
                break;
            case 1:
                page += "<script>var n" + std::to_string(pick(100)) + "=" + std::to_string(pick(1000)) +
                        ";document.write(\"<img src='/pic/" + std::to_string(pick(500)) + ".jpg'>\");</script>\n";
                break;
            case 2:
                page += "<span class=\"Time\">2010-08-13</span> <em>http://www.orrindale.example/x.mp3</em>\n";
                break;
            default:
                for (unsigned n = 8 + pick(24); n > 0; --n) {
                    page += static_cast<char>(0xB0 + pick(0x48));
                    page += static_cast<char>(0xA1 + pick(0x5E));
                }
                page += "</a></li>\n";
        }
    }
    page.append(1024 - 1, ' ');
    page += '\n';
    return page + tail;
}

// The worst case for the two-byte rule: nothing but two-byte characters up to
// the markers, so that telling a character start from a second byte means
// looking back over the whole page.
std::string make_two_byte_page() {
    std::string page;
    while (page.size() < kPageSize) page += "\xB0\xA1\xC4\xE3";
    return page + "var rurl=\"12/abcd.wma\";var zurl";
}

const std::string& page() {
    static const std::string bytes = make_page();
    return bytes;
}

const std::string& two_byte_page() {
    static const std::string bytes = make_two_byte_page();
    return bytes;
}

using PageSource = const std::string& (*)();

// The lookup's own path: the markers found with the text toolkit, the media
// path cut out and split.
void BM_CutPieces(benchmark::State& state, PageSource source) {
    const std::string_view text = source();
    for (auto _ : state) {
        const int32_t a = wm::text::find(text, wm::lookup::kPageMarker, 1, true);
        const int32_t b = wm::text::find(text, wm::lookup::kEndMarker);
        auto pieces = wm::text::split(wm::text::middle(text, a + 10, b - a - 10), "/");
        benchmark::DoNotOptimize(pieces);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * text.size());
}
BENCHMARK_CAPTURE(BM_CutPieces, html, page)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CutPieces, two_byte, two_byte_page)->Unit(benchmark::kMicrosecond);

// Everything from the fetched bytes on, including the copy into a text.
void BM_MediaPieces(benchmark::State& state) {
    for (auto _ : state) {
        auto pieces = wm::lookup::media_pieces(page());
        benchmark::DoNotOptimize(pieces);
    }
}
BENCHMARK(BM_MediaPieces)->Unit(benchmark::kMicrosecond);

void BM_FindPageMarkerIgnoringCase(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(wm::text::find(page(), wm::lookup::kPageMarker, 1, true));
}
BENCHMARK(BM_FindPageMarkerIgnoringCase)->Unit(benchmark::kMicrosecond);

void BM_FindEndMarker(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(wm::text::find(page(), wm::lookup::kEndMarker));
}
BENCHMARK(BM_FindEndMarker)->Unit(benchmark::kMicrosecond);

void BM_BaselineStringViewFind(benchmark::State& state, PageSource source) {
    const std::string_view text = source();
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.find(wm::lookup::kPageMarker));
        benchmark::DoNotOptimize(text.find(wm::lookup::kEndMarker));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * text.size());
}
BENCHMARK_CAPTURE(BM_BaselineStringViewFind, html, page)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BaselineStringViewFind, two_byte, two_byte_page)->Unit(benchmark::kMicrosecond);

void BM_BaselineMemmem(benchmark::State& state, PageSource source) {
    const std::string_view text = source();
    for (auto _ : state) {
        for (std::string_view marker : {wm::lookup::kPageMarker, wm::lookup::kEndMarker}) {
            benchmark::DoNotOptimize(memmem(text.data(), text.size(), marker.data(), marker.size()));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * text.size());
}
BENCHMARK_CAPTURE(BM_BaselineMemmem, html, page)->Unit(benchmark::kMicrosecond);

// Shows the usual table and keeps the fastest CPU time per iteration of each
// benchmark for the summary (CPU time, as the build machines are shared).
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    CollectingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            auto [it, fresh] = seconds_.emplace(run.benchmark_name(), seconds);
            if (!fresh) it->second = std::min(it->second, seconds);
        }
    }

    void print_ratio(const char* ours, const char* baseline, const char* note = "target: within 1.5x") const {
        const auto o = seconds_.find(ours);
        const auto b = seconds_.find(baseline);
        if (o == seconds_.end() || b == seconds_.end()) return;
        std::printf("%-22s %8.1f us CPU vs %-32s %8.1f us: ratio %.2f (%s)\n", ours, o->second * 1e6, baseline,
                    b->second * 1e6, o->second / b->second, note);
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("page: %zu bytes, page marker at %d, end marker at %d\n", page().size(),
                wm::text::find(page(), wm::lookup::kPageMarker, 1, true),
                wm::text::find(page(), wm::lookup::kEndMarker));
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    reporter.print_ratio("BM_CutPieces/html", "BM_BaselineStringViewFind/html");
    reporter.print_ratio("BM_CutPieces/html", "BM_BaselineMemmem/html");
    reporter.print_ratio("BM_MediaPieces", "BM_BaselineStringViewFind/html");
    // No real page looks like this: the markers stand in a script among HTML.
    reporter.print_ratio("BM_CutPieces/two_byte", "BM_BaselineStringViewFind/two_byte",
                         "worst case, no single-byte character before the markers");
    return 0;
}
