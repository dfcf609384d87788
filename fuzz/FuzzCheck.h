// FuzzCheck.h - how the fuzz targets state their properties: a broken one
// names itself and aborts, which libFuzzer and a test alike report.
#ifndef FUZZCHECK_H
#define FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            abort();                                                                      \
        }                                                                                 \
    } while (0)

// The len bytes at text parse as JSON, where the JSON library is at hand.
#if __has_include(<nlohmann/json.hpp>)
#include <nlohmann/json.hpp>
#define FUZZ_JSON(text, len) FUZZ_CHECK(!nlohmann::json::parse(text, (text) + (len), nullptr, false).is_discarded())
#else
#define FUZZ_JSON(text, len) (void)(len)
#endif

#endif
