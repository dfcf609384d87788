// devcap-lsp - the Language Server Protocol for capability text files, over
// standard input and output: what devcaplint finds, as the editor types.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "../ProgramIo.h"
#include "LspServer.h"
#include "libdevcap.h"

namespace {

int Usage(FILE* out, int status) {
    fprintf(out,
            "usage: devcap-lsp [--stdio]\n"
            "       devcap-lsp --help | --version\n"
            "Speaks the Language Server Protocol on standard input and output, for an\n"
            "editor to start: devcaplint's findings, completion, hover and fixes for\n"
            "capability text files. --stdio, which some editors pass, is the only way.\n");
    return status;
}

}  // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return Usage(stdout, 0);
        if (strcmp(argv[i], "--version") == 0) {
            printf("devcap-lsp %s\n", DevCapLibVersion());
            return 0;
        }
        if (strcmp(argv[i], "--stdio") != 0) {
            fprintf(stderr, "devcap-lsp: unknown option %s\n", argv[i]);
            return Usage(stderr, 2);
        }
    }
    signal(SIGPIPE, SIG_IGN);  // a client gone is a write that fails, then the end
    tLspServer server;
    std::string body;
    try {
        while (!server.exited && ferror(stdout) == 0) {
            const tLspRead read = LspReadMessage(stdin, &body);
            if (read == LSP_END) break;
            if (read == LSP_BAD) {
                LspWriteMessage(stdout, LspBadHeader());
                continue;
            }
            for (const std::string& message : LspHandle(server, body)) LspWriteMessage(stdout, message);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory("devcap-lsp");
    }
    return server.shutdown ? 0 : 1;
}
