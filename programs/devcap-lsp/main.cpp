// devcap-lsp - the Language Server Protocol for capability text files, over
// standard input and output: what devcaplint finds, as the editor types.
#include <csignal>
#include <cstdio>

#include "LspServer.h"

int main() {
    signal(SIGPIPE, SIG_IGN);  // a client gone is a write that fails, then the end
    tLspServer server;
    std::string body;
    while (!server.exited && ferror(stdout) == 0) {
        const tLspRead read = LspReadMessage(stdin, &body);
        if (read == LSP_END) break;
        if (read == LSP_BAD) {
            LspWriteMessage(stdout, LspBadHeader());
            continue;
        }
        for (const std::string& message : LspHandle(server, body)) LspWriteMessage(stdout, message);
    }
    return server.shutdown ? 0 : 1;
}
