// DevCapTable.cpp - records as the rows of a table, one row a device: a CSV
// header and rows, and the same rows as JSON objects. The columns and the
// cell of a field are decided here once, for every program and the page.
#include <cstring>
#include <string_view>

#include "DevCapCore.h"

namespace {

// The columns every row starts with, before the fields.
constexpr const char* kFixedColumns[] = {"file", "kind", "status"};

// Calls column(path) for each chosen field path in order: every field's, or
// each item of the comma list (an empty item is an empty path).
template <typename Column>
void EachColumn(const char* fields, Column column) {
    if (fields == nullptr) {
        const tFieldList all = DevCapFields();
        for (size_t i = 0; i < all.count; ++i) column(std::string_view(all.fields[i].path));
        return;
    }
    std::string_view list(fields);
    for (;;) {
        const size_t comma = list.find(',');
        column(list.substr(0, comma));
        if (comma == std::string_view::npos) return;
        list.remove_prefix(comma + 1);
    }
}

// A field's cell: its text when that says more than its number ("IP
// Camera", "0x0001", not "2"), so that a table compares numbers as numbers;
// else its number. false when it has neither, or the path is no field.
bool Cell(const tDevConf* dev, std::string_view path, tDevCapFieldValue* v) {
    const tField* f = DevCapFieldNamed(path);
    if (dev == nullptr || f == nullptr) return false;
    DevCapFieldValueOf(*dev, *f, v);
    char number[16];
    snprintf(number, sizeof number, "%u", v->value);
    if (v->number && strcmp(v->text, number) == 0) v->has_text = 0;
    return v->has_text || v->number;
}

// What a spreadsheet takes for a formula when a cell starts with it.
constexpr std::string_view kFormulaFirst = "=+-@\t\r";

// One CSV cell, quoted when it holds a separator, a quote or a line end; a
// "'" in front of one a spreadsheet would run as a formula makes it text.
void CsvCell(const tDevCapSink* out, bool first, std::string_view text) {
    if (!first) DevCapSay(out, ",");
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted) DevCapSay(out, "\"");
    if (!text.empty() && kFormulaFirst.find(text[0]) != std::string_view::npos) DevCapSay(out, "'");
    if (!quoted) {
        out->write(out->ctx, text.data(), text.size());
        return;
    }
    for (size_t quote; (quote = text.find('"')) != std::string_view::npos; text.remove_prefix(quote + 1)) {
        out->write(out->ctx, text.data(), quote + 1);
        DevCapSay(out, "\"");
    }
    out->write(out->ctx, text.data(), text.size());
    DevCapSay(out, "\"");
}

std::string_view Given(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

void DevCapCsvHeader(const char* fields, const tDevCapSink* out) {
    for (const char* column : kFixedColumns) CsvCell(out, column == kFixedColumns[0], column);
    EachColumn(fields, [&](std::string_view path) { CsvCell(out, false, path); });
    DevCapSay(out, "\n");
}

void DevCapCsvRow(const tDevConf* dev, const char* file, const char* kind, const char* status, const char* fields,
                  const tDevCapSink* out) {
    CsvCell(out, true, Given(file));
    CsvCell(out, false, Given(kind));
    CsvCell(out, false, Given(status));
    EachColumn(fields, [&](std::string_view path) {
        tDevCapFieldValue v;
        if (!Cell(dev, path, &v)) return CsvCell(out, false, "");
        char number[16];
        snprintf(number, sizeof number, "%u", v.value);
        CsvCell(out, false, v.has_text ? v.text : number);
    });
    DevCapSay(out, "\n");
}

void DevCapJsonRow(const tDevConf* dev, const char* file, const char* kind, const char* status, const char* fields,
                   const tDevCapSink* out) {
    const char* fixed[] = {file, kind, status};
    for (size_t i = 0; i < std::size(fixed); ++i) {
        DevCapSay(out, "%s\"%s\": ", i == 0 ? "{" : ", ", kFixedColumns[i]);
        DevCapJsonString(out, Given(fixed[i]));
    }
    EachColumn(fields, [&](std::string_view path) {
        DevCapSay(out, ", ");
        DevCapJsonString(out, path);
        DevCapSay(out, ": ");
        tDevCapFieldValue v;
        if (!Cell(dev, path, &v)) {
            DevCapSay(out, "null");
        } else if (v.has_text) {
            DevCapJsonString(out, v.text);
        } else {
            DevCapSay(out, "%u", v.value);
        }
    });
    DevCapSay(out, "}");
}
