// In-process conversion speed: each shipped example, and a large generated
// file (lines per second). Run: cmake --workflow --preset bench (see README).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "DevCapCore.h"

#ifndef DEVCAP_EXAMPLES
#error "DEVCAP_EXAMPLES must name the examples directory"
#endif

namespace {

std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* fp = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, fp)) > 0;) text.append(chunk, n);
        fclose(fp);
    }
    return text;
}

size_t CountLines(const std::string& text) {
    size_t lines = 0;
    for (const char c : text) lines += c == '\n';
    return lines;
}

void Convert(benchmark::State& state, const std::string& text) {
    if (text.empty()) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        tDevConf dev;
        DevCapConfInit(&dev);
        const int32_t ret = DevCapTxtMem2Bin(&dev, text.data(), text.size(), "bench.txt", nullptr);
        benchmark::DoNotOptimize(ret);
        benchmark::DoNotOptimize(DevCapDBCheck(&dev, nullptr));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * CountLines(text)));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Every entry of the IP camera example, repeated: valid lines only, so
// nothing is printed.
std::string Generated(size_t copies) {
    std::string one = ReadFile(DEVCAP_EXAMPLES "/ipcam.txt");
    one.resize(one.rfind("EOF="));
    std::string text;
    for (size_t i = 0; i < copies; ++i) text += one;
    return text + "EOF=''\n";
}

void BM_Example(benchmark::State& state, const char* name) {
    static const std::string dir = DEVCAP_EXAMPLES "/";
    Convert(state, ReadFile(dir + name));
}
BENCHMARK_CAPTURE(BM_Example, ipcam, "ipcam.txt");
BENCHMARK_CAPTURE(BM_Example, ptz_dome, "ptz-dome.txt");
BENCHMARK_CAPTURE(BM_Example, video_server, "video-server.txt");

void BM_Generated(benchmark::State& state) {
    static const std::string text = Generated(2000);  // about 100,000 lines
    Convert(state, text);
}
BENCHMARK(BM_Generated)->Unit(benchmark::kMillisecond);

// One conversion through libdevcap's C interface: read, check, messages to a
// function (none here), as a service converting uploads would call it.
void BM_Library(benchmark::State& state) {
    static const std::string text = ReadFile(DEVCAP_EXAMPLES "/ipcam.txt");
    for (auto _ : state) {
        tDevConf dev;
        benchmark::DoNotOptimize(DevCapConvertText(text.data(), text.size(), "ipcam.txt", &dev, nullptr, nullptr));
    }
}
BENCHMARK(BM_Library);

}  // namespace

BENCHMARK_MAIN();
