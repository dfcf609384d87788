// libFuzzer target: any bytes as what an editor sends devcap-lsp. Every
// message is read and answered, each answer is JSON; no input crashes the
// server or keeps it reading past its end.
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "LspServer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FILE* in = fmemopen(const_cast<uint8_t*>(bytes), size, "rb");
    if (in == nullptr) return 0;  // size 0
    tLspServer server;
    server.initialized = true;  // past the door too: the methods get any bytes
    std::string body;
    for (tLspRead read; (read = LspReadMessage(in, &body)) != LSP_END && !server.exited;) {
        if (read == LSP_BAD) continue;
        for (const std::string& answer : LspHandle(server, body)) {
            if (nlohmann::json::parse(answer, nullptr, false).is_discarded()) abort();
        }
    }
    fclose(in);
    return 0;
}
