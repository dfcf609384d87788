// LspServer.h - devcap-lsp: the linter, the entry tables and the fixes of
// libdevcap offered to editors through the Language Server Protocol, over
// standard input and output. The messages are JSON-RPC, read and written with
// nlohmann::json; everything about capability text is asked of libdevcap.h.
#ifndef LSPSERVER_H
#define LSPSERVER_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// What reading one message gave.
enum tLspRead {
    LSP_MESSAGE,  // body holds one message's bytes
    LSP_BAD,      // a header without a usable Content-Length, or one too large: body holds nothing
    LSP_END,      // the input is closed
};

// The state of one session: the open documents and what was agreed.
struct tLspServer {
    std::map<std::string, std::string> documents;  // by URI: the whole text
    bool initialized = false;                      // initialize came
    bool utf8 = false;                             // positions count bytes; else UTF-16 code units
    bool shutdown = false;                         // shutdown was asked for
    bool exited = false;                           // exit came: the process ends
    std::vector<std::string> answers;              // to the last message
    std::string spare;                             // the largest of the answers before, for the next diagnostics
};

// Reads the headers and the body of one message.
tLspRead LspReadMessage(FILE* in, std::string* body);
// Writes one message with its Content-Length header.
void LspWriteMessage(FILE* out, const std::string& body);
// Answers one message: the responses and notifications to send, in order,
// valid until the next call. A body that is no JSON-RPC message gets the
// protocol's error, never an exception.
const std::vector<std::string>& LspHandle(tLspServer& server, const std::string& body);
// The answer to a header that could not be read.
std::string LspBadHeader();

#endif
