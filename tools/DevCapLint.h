// DevCapLint.h - findings on a capability text: what the converter refuses,
// and what it accepts but almost certainly does not mean. The text is read by
// the converter's own reader, entry table and check; nothing is parsed twice.
#ifndef DEVCAPLINT_H
#define DEVCAPLINT_H

#include "DevCapConv.h"

enum tLintSeverity : uint8_t { LINT_ERROR, LINT_WARNING, LINT_NOTE };

// The rules, in this order; a rule's bit in a disabled mask is 1 << its index.
enum tLintRuleId : uint8_t {
    LINT_UNKNOWN_ENTRY,
    LINT_BAD_VALUE,
    LINT_CHECK,
    LINT_LONG_NAME,
    LINT_LONG_VALUE,
    LINT_SPLIT_LINE,
    LINT_NOT_A_NUMBER,
    LINT_IGNORED_AFTER_STOP,
    LINT_DUPLICATE,
    LINT_AFTER_EOF,
    LINT_NOT_AN_ENTRY,
    LINT_QUOTE,
    LINT_BOM,
    LINT_ENCODING,
    LINT_RULE_COUNT
};

struct tLintRule {
    const char* name;
    tLintSeverity severity;  // errors cannot be turned off
    const char* summary;
};
extern const tLintRule kDevCapLintRules[LINT_RULE_COUNT];
// "error", "warning", "note", by tLintSeverity.
extern const char* const kDevCapLintSeverity[3];

// The rule called name (exactly); LINT_RULE_COUNT when there is none.
tLintRuleId DevCapLintRuleNamed(std::string_view name);

struct tLintFinding {
    uint32_t line;    // physical line, from 1
    uint32_t column;  // byte in the line, from 1
    tLintSeverity severity;
    tLintRuleId rule;
    const char* message;  // valid during the call only
};

struct tLintReport {
    void (*finding)(void* ctx, const tLintFinding& f);
    void* ctx;
};

// Lints text read from src; disabled turns warning rules off (1 << rule).
// Answers the number of findings, or -1 when the source could not be read.
int DevCapLint(const tPieceSource& src, uint32_t disabled, const tLintReport& report);
int DevCapLintMem(const char* text, size_t size, uint32_t disabled, const tLintReport& report);
int DevCapLintStream(FILE* fp, uint32_t disabled, const tLintReport& report);

#endif
