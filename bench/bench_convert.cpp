// In-process conversion speed: each shipped example, and a large generated
// file (lines per second). Run: cmake --workflow --preset bench (see README).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "DevCapCore.h"
#ifdef DEVCAP_BENCH_LSP
#include <nlohmann/json.hpp>

#include "LspServer.h"
#endif

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

// Two records compared: every field, and every check rule on each.
void BM_Diff(benchmark::State& state) {
    static const std::string text = ReadFile(DEVCAP_EXAMPLES "/ipcam.txt");
    tDevConf a, b;
    DevCapConvertText(text.data(), text.size(), "a", &a, nullptr, nullptr);
    DevCapConvertText(ReadFile(DEVCAP_EXAMPLES "/ptz-dome.txt").data(),
                      ReadFile(DEVCAP_EXAMPLES "/ptz-dome.txt").size(), "b", &b, nullptr, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(DevCapDiffRecords(&a, &b, nullptr, nullptr));
}
BENCHMARK(BM_Diff);

#ifdef DEVCAP_BENCH_LSP
// What devcap-lsp does on each keystroke in a 1,000-line text: the change is
// taken, the text linted, the diagnostics written as JSON.
void BM_LspChange(benchmark::State& state) {
    std::string text;
    while (CountLines(text) < 1000) text += Generated(1).substr(0, Generated(1).size() - 7) + "FWCAP_DIS='two'\n";
    tLspServer server;
    LspHandle(server, R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    const nlohmann::json open = {{"jsonrpc", "2.0"},
                                 {"method", "textDocument/didOpen"},
                                 {"params", {{"textDocument", {{"uri", "file:///big.txt"}, {"text", text}}}}}};
    LspHandle(server, open.dump());
    const std::string change =
        nlohmann::json{
            {"jsonrpc", "2.0"},
            {"method", "textDocument/didChange"},
            {"params", {{"textDocument", {{"uri", "file:///big.txt"}}}, {"contentChanges", {{{"text", text}}}}}}}
            .dump();
    size_t diagnostics = 0;
    for (auto _ : state) diagnostics = LspHandle(server, change).at(0).size();
    state.counters["lines"] = static_cast<double>(CountLines(text));
    state.counters["answer_bytes"] = static_cast<double>(diagnostics);
}
BENCHMARK(BM_LspChange)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
