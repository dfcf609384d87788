// devcapfleet - a product line's capability files in one SQLite database:
// indexed and brought up to date incrementally, printed as a table, two
// indexes compared, and rules (named SQL queries) held over the whole line.
// What a record is (its fields, texts, rows, diff) comes from libdevcap.h;
// the SQL is this program's own.
#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ProgramIo.h"
#include "libdevcap.h"

namespace {

// ---- SHA-256 (FIPS 180-4): the content test of a file whose size or time changed ----

constexpr uint32_t kSha256K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr uint32_t Rotr(uint32_t x, int n) { return x >> n | x << (32 - n); }

void Sha256Block(uint32_t (&h)[8], const uint8_t* p) {
    uint32_t w[64];
    for (size_t i = 0; i < 16; ++i)
        w[i] = uint32_t{p[4 * i]} << 24 | p[4 * i + 1] << 16 | p[4 * i + 2] << 8 | p[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ w[i - 15] >> 3;
        const uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ w[i - 2] >> 10;
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t v[8];
    memcpy(v, h, sizeof v);
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 = v[7] + (Rotr(v[4], 6) ^ Rotr(v[4], 11) ^ Rotr(v[4], 25)) +
                            ((v[4] & v[5]) ^ (~v[4] & v[6])) + kSha256K[i] + w[i];
        const uint32_t t2 =
            (Rotr(v[0], 2) ^ Rotr(v[0], 13) ^ Rotr(v[0], 22)) + ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
        memmove(v + 1, v, 7 * sizeof v[0]);
        v[4] += t1;
        v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i) h[i] += v[i];
}

void Sha256Hex(const uint8_t* data, size_t size, char (&hex)[65]) {
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    size_t done = 0;
    for (; size - done >= 64; done += 64) Sha256Block(h, data + done);
    uint8_t tail[128] = {};
    const size_t rest = size - done;
    memcpy(tail, data + done, rest);
    tail[rest] = 0x80;
    const size_t blocks = rest < 56 ? 1 : 2;
    const uint64_t bits = uint64_t{size} * 8;
    for (int i = 0; i < 8; ++i) tail[blocks * 64 - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    for (size_t b = 0; b < blocks; ++b) Sha256Block(h, tail + 64 * b);
    for (size_t i = 0; i < 8; ++i) snprintf(hex + 8 * i, 9, "%08x", h[i]);
}

// ---- renderings nested in this program's output ----

// A changed record's text diff, each line indented under its file's line;
// ctx: whether a line starts next.
void Indented(void* ctx, const char* text, size_t len) {
    auto* lineStart = static_cast<bool*>(ctx);
    while (len > 0) {
        if (*lineStart) fputs("    ", stdout);
        const auto* nl = static_cast<const char*>(memchr(text, '\n', len));
        const size_t n = nl != nullptr ? static_cast<size_t>(nl - text) + 1 : len;
        fwrite(text, 1, n, stdout);
        *lineStart = nl != nullptr;
        text += n;
        len -= n;
    }
}

// A JSON diff inside a change's object: its closing line end would break the
// layout, so a line end is held back until more follows; ctx: whether one is.
void LineEndHeld(void* ctx, const char* text, size_t len) {
    auto* held = static_cast<bool*>(ctx);
    if (len == 0) return;
    if (*held) putchar('\n');
    *held = text[len - 1] == '\n';
    fwrite(text, 1, *held ? len - 1 : len, stdout);
}

// ---- the database ----

// PRAGMA application_id: "DVCF" marks a database as this program's index.
constexpr int kApplicationId = 0x44564346;
constexpr int kSchemaVersion = 1;
constexpr int kBusyMs = 2000;

struct tRun {
    sqlite3* db;
    const char* dbName;
    bool warned;  // a line about an input was said: status 1
    // what the index run did
    size_t added, changed, removed, unchanged, walked;
    bool progress;
    // the prepared statements of an index run
    sqlite3_stmt *seen, *seenAs, *old, *touch, *drop, *device, *field, *output, *outputOf;
    tBuf bytes, messages;
    dev_t dbDev;  // the index file itself, never indexed
    ino_t dbIno;
    size_t strip;  // characters of a folder's path left out of the names (comparing folders)
};

// A path's name in the index: as given, or relative to the folder compared.
const char* Name(const tRun* run, const char* path) { return strlen(path) >= run->strip ? path + run->strip : ""; }

int Trouble(tRun* run, const char* what) {
    fprintf(stderr, "devcapfleet: %s: %s\n", what, sqlite3_errmsg(run->db));
    return 2;
}

bool Exec(tRun* run, const char* sql) {
    if (sqlite3_exec(run->db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    Trouble(run, run->dbName);
    return false;
}

bool Prepare(tRun* run, const char* sql, sqlite3_stmt** stmt) {
    if (sqlite3_prepare_v3(run->db, sql, -1, SQLITE_PREPARE_PERSISTENT, stmt, nullptr) == SQLITE_OK) return true;
    Trouble(run, run->dbName);
    return false;
}

// Runs a statement bound beforehand to its end; false (after a line) on an error.
bool Done(tRun* run, sqlite3_stmt* stmt) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_reset(stmt);
    if (rc == SQLITE_DONE) return true;
    Trouble(run, run->dbName);
    return false;
}

void BindText(sqlite3_stmt* stmt, int i, const char* text) {
    if (text != nullptr) {
        sqlite3_bind_text(stmt, i, text, -1, SQLITE_STATIC);
    } else {
        sqlite3_bind_null(stmt, i);
    }
}

int64_t IntOf(tRun* run, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    int64_t value = -1;
    if (sqlite3_prepare_v2(run->db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
}

// The tables, and the wide view: one column a field, its cell the text when
// that says more than the number (the library's table rows say the same).
bool CreateSchema(tRun* run) {
    static const char kTables[] =
        "CREATE TABLE devices(file TEXT PRIMARY KEY, kind TEXT, status TEXT NOT NULL, size INTEGER,"
        " mtime_ns INTEGER, sha256 TEXT, record BLOB, messages TEXT) WITHOUT ROWID;"
        "CREATE TABLE fields(file TEXT NOT NULL REFERENCES devices(file) ON DELETE CASCADE, path TEXT NOT NULL,"
        " value INTEGER, text TEXT, PRIMARY KEY(file, path)) WITHOUT ROWID;";
    if (!Exec(run, kTables)) return false;
    tBuf view{};
    const char kSelect[] = "CREATE VIEW wide AS SELECT d.file AS file, d.kind AS kind, d.status AS status";
    Append(&view, kSelect, sizeof kSelect - 1);
    tDevCapFieldInfo f;
    for (size_t i = 0; DevCapFieldInfo(i, &f) == DEVCAP_OK; ++i) {
        char column[512];  // paths are short identifiers
        const int n = snprintf(column, sizeof column,
                               ", MAX(CASE WHEN f.path = '%s' THEN CASE WHEN f.text IS NULL OR f.text = CAST(f.value "
                               "AS TEXT) THEN f.value ELSE f.text END END) AS \"%s\"",
                               f.path, f.path);
        Append(&view, column, static_cast<size_t>(n));
    }
    const char kFrom[] = " FROM devices d LEFT JOIN fields f ON f.file = d.file GROUP BY d.file;";
    Append(&view, kFrom, sizeof kFrom - 1);
    char pragmas[96];
    snprintf(pragmas, sizeof pragmas, "PRAGMA application_id = %d; PRAGMA user_version = %d;", kApplicationId,
             kSchemaVersion);
    const bool made = (!view.failed || OutOfMemory("devcapfleet") == 0) && Exec(run, view.data) && Exec(run, pragmas);
    free(view.data);
    return made;
}

// Whether the open database is an index of ours (or empty, when it may be
// made one); says why not.
bool Ours(tRun* run, bool* empty) {
    const int64_t id = IntOf(run, "PRAGMA application_id");
    if (id < 0) return Trouble(run, run->dbName) == 0;  // not a database at all: SQLite says so
    *empty = id == 0 && IntOf(run, "SELECT count(*) FROM sqlite_schema") == 0;
    if (*empty) return true;
    if (id != kApplicationId) {
        fprintf(stderr, "devcapfleet: %s: not a devcapfleet index (left as it is)\n", run->dbName);
        return false;
    }
    if (IntOf(run, "PRAGMA user_version") != kSchemaVersion) {
        fprintf(stderr, "devcapfleet: %s: an index of another devcapfleet version (left as it is)\n", run->dbName);
        return false;
    }
    return true;
}

// Opens the index at name (":memory:" for none); readonly for rules and
// comparisons. Says why it cannot.
bool Open(tRun* run, const char* name, bool readonly) {
    run->dbName = name;
    const int flags = readonly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(name, &run->db, flags, nullptr) != SQLITE_OK) {
        // SQLite says only that it could not; the folder or the file says why.
        char folder[4096];
        snprintf(folder, sizeof folder, "%s", name);
        char* slash = strrchr(folder, '/');
        if (slash != nullptr) slash[slash == folder ? 1 : 0] = '\0';
        const bool why = access(name, F_OK) == 0 ? access(name, readonly ? R_OK : R_OK | W_OK) != 0
                                                 : access(slash != nullptr ? folder : ".", W_OK | X_OK) != 0;
        fprintf(stderr, "devcapfleet: cannot open %s: %s\n", name, why ? strerror(errno) : sqlite3_errmsg(run->db));
        return false;
    }
    sqlite3_busy_timeout(run->db, kBusyMs);
    sqlite3_extended_result_codes(run->db, 1);
    return Exec(run, "PRAGMA foreign_keys = ON");
}

// ---- indexing ----

void Warn(tRun* run, const char* fmt, const char* a, const char* b = "", const char* c = "") {
    if (run->progress) fputs("\r\033[K", stderr);
    fprintf(stderr, "devcapfleet: ");
    fprintf(stderr, fmt, a, b, c);
    fputc('\n', stderr);
    run->warned = true;
}

// Memory ran out: the run stops (status 2, nothing written), said the one way
// every program says it. false.
bool NoMemory(const tRun* run) {
    if (run->progress) fputs("\r\033[K", stderr);
    return OutOfMemory("devcapfleet") == 0;
}

// Reads the whole file into b, terminated; the errno of a failure, or 0.
int ReadAll(tBuf* b, const char* path) {
    bool opened;
    return ReadWhole(path, b, &opened);
}

// A text devcap2bin would write as BinFiles/<base>.bin: two texts of one base
// name in the line overwrite each other's record.
void SameOutput(tRun* run, const char* file) {
    char output[DEVCAP_PATH_MAX + 1];
    if (DevCapOutputPath(file, output, sizeof output, nullptr, nullptr) != DEVCAP_OK) return;
    sqlite3_bind_text(run->output, 1, output, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(run->output, 2, file, -1, SQLITE_STATIC);
    const bool fresh = sqlite3_step(run->output) == SQLITE_DONE && sqlite3_changes(run->db) > 0;
    sqlite3_reset(run->output);
    if (fresh) return;
    sqlite3_bind_text(run->outputOf, 1, output, -1, SQLITE_TRANSIENT);
    if (sqlite3_step(run->outputOf) == SQLITE_ROW) {
        Warn(run, "%s and %s both become %s", reinterpret_cast<const char*>(sqlite3_column_text(run->outputOf, 0)),
             file, output);
    }
    sqlite3_reset(run->outputOf);
}

// One device's row from the file's bytes (or the reason it has none).
bool Store(tRun* run, const char* file, const struct stat* st, int error) {
    const char *kind = nullptr, *status = "unreadable";
    char sha[65] = "";
    tDevConf dev;
    bool record = false;
    run->messages.len = 0;
    Append(&run->messages, "", 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(run->bytes.data);
    if (error != 0) {
        Warn(run, "cannot read %s: %s", file, strerror(error));
        Append(&run->messages, strerror(error), strlen(strerror(error)));
    } else {
        Sha256Hex(bytes, run->bytes.len, sha);
        const int result = DevCapLoadDevice(bytes, run->bytes.len, file, &dev, &kind, &status, Append, &run->messages);
        if (kind == nullptr) {
            static const char kNeither[] = "neither capability text nor a 120-byte record (it holds NUL bytes)";
            Warn(run, "%s: %s", file, kNeither);
            Append(&run->messages, kNeither, sizeof kNeither - 1);
        }
        record = result == DEVCAP_OK;
        if (kind != nullptr && strcmp(kind, "text") == 0) SameOutput(run, file);
    }
    if (run->messages.failed) return NoMemory(run);
    sqlite3_stmt* d = run->device;
    sqlite3_bind_text(d, 1, file, -1, SQLITE_STATIC);
    BindText(d, 2, kind);
    sqlite3_bind_text(d, 3, status, -1, SQLITE_STATIC);
    sqlite3_bind_int64(d, 4, static_cast<int64_t>(st->st_size));
    sqlite3_bind_int64(d, 5, static_cast<int64_t>(st->st_mtim.tv_sec) * 1000000000 + st->st_mtim.tv_nsec);
    BindText(d, 6, sha[0] != '\0' ? sha : nullptr);
    if (record) {
        sqlite3_bind_blob(d, 7, &dev, sizeof dev, SQLITE_STATIC);
    } else {
        sqlite3_bind_null(d, 7);
    }
    BindText(d, 8, run->messages.len > 0 ? run->messages.data : nullptr);
    if (!Done(run, d)) return false;
    tDevCapFieldValue v;
    for (size_t i = 0; record && DevCapFieldValue(&dev, i, &v) == DEVCAP_OK; ++i) {
        sqlite3_stmt* f = run->field;
        sqlite3_bind_text(f, 1, file, -1, SQLITE_STATIC);
        sqlite3_bind_text(f, 2, v.path, -1, SQLITE_STATIC);
        if (v.number) {
            sqlite3_bind_int64(f, 3, v.value);
        } else {
            sqlite3_bind_null(f, 3);
        }
        BindText(f, 4, v.has_text ? v.text : nullptr);
        if (!Done(run, f)) return false;
    }
    return true;
}

// One file of the walk: trusted when its size and time are unchanged, else
// read; rewritten only when its content changed. false on a database error.
bool Visit(tRun* run, const char* path, const struct stat* st) {
    const char* file = Name(run, path);
    // One file is one device, however its path is spelt or linked to.
    sqlite3_stmt* const keys[] = {run->seen, run->seenAs};
    for (sqlite3_stmt* k : keys) {
        sqlite3_bind_text(k, 1, file, -1, SQLITE_STATIC);
        sqlite3_bind_int64(k, 2, static_cast<int64_t>(st->st_dev));
        sqlite3_bind_int64(k, 3, static_cast<int64_t>(st->st_ino));
    }
    if (!Done(run, run->seen)) return false;
    if (sqlite3_changes(run->db) == 0) {
        const bool found = sqlite3_step(run->seenAs) == SQLITE_ROW;
        const char* first = found ? reinterpret_cast<const char*>(sqlite3_column_text(run->seenAs, 0)) : file;
        if (strcmp(first, file) == 0) {
            Warn(run, "%s given twice: indexed once", file);
        } else {
            Warn(run, "%s is %s: indexed once", file, first);
        }
        sqlite3_reset(run->seenAs);
        return true;
    }
    if (run->progress && ++run->walked % 1000 == 0) fprintf(stderr, "\rdevcapfleet: %zu files", run->walked);
    const int64_t mtime = static_cast<int64_t>(st->st_mtim.tv_sec) * 1000000000 + st->st_mtim.tv_nsec;
    sqlite3_stmt* old = run->old;
    sqlite3_bind_text(old, 1, file, -1, SQLITE_STATIC);
    const bool known = sqlite3_step(old) == SQLITE_ROW;
    const bool same = known && sqlite3_column_type(old, 3) != SQLITE_NULL &&
                      sqlite3_column_int64(old, 0) == static_cast<int64_t>(st->st_size) &&
                      sqlite3_column_int64(old, 1) == mtime;
    char oldSha[65] = "";
    if (known && sqlite3_column_type(old, 3) != SQLITE_NULL)
        snprintf(oldSha, sizeof oldSha, "%s", reinterpret_cast<const char*>(sqlite3_column_text(old, 3)));
    const bool text = known && sqlite3_column_type(old, 2) != SQLITE_NULL &&
                      strcmp(reinterpret_cast<const char*>(sqlite3_column_text(old, 2)), "text") == 0;
    sqlite3_reset(old);
    if (same) {
        if (text) SameOutput(run, file);
        ++run->unchanged;
        return true;
    }
    const int error = ReadAll(&run->bytes, path);
    if (error == ENOMEM) return NoMemory(run);
    if (error == 0 && oldSha[0] != '\0') {
        char sha[65];
        Sha256Hex(reinterpret_cast<const uint8_t*>(run->bytes.data), run->bytes.len, sha);
        if (strcmp(sha, oldSha) == 0) {  // touched, not changed: the new time is trusted from now on
            sqlite3_bind_int64(run->touch, 1, static_cast<int64_t>(st->st_size));
            sqlite3_bind_int64(run->touch, 2, mtime);
            sqlite3_bind_text(run->touch, 3, file, -1, SQLITE_STATIC);
            if (text) SameOutput(run, file);
            ++run->unchanged;
            return Done(run, run->touch);
        }
    }
    if (known) {
        sqlite3_bind_text(run->drop, 1, file, -1, SQLITE_STATIC);
        if (!Done(run, run->drop)) return false;
    }
    ++*(known ? &run->changed : &run->added);
    return Store(run, file, st, error);
}

// A folder and everything under it, names sorted, hidden ones (.git) left
// out. stack holds the folders above it, to tell a symlink loop.
struct tFolder {
    dev_t dev;
    ino_t ino;
    const tFolder* up;
};

bool Walk(tRun* run, const char* path, const struct stat* st, const tFolder* up);

bool Kept(tRun* run, const char* path) {
    sqlite3_stmt* stmt = nullptr;
    const bool ok =
        sqlite3_prepare_v2(run->db, "INSERT OR IGNORE INTO temp.kept VALUES(?)", -1, &stmt, nullptr) == SQLITE_OK &&
        (sqlite3_bind_text(stmt, 1, Name(run, path), -1, SQLITE_STATIC), sqlite3_step(stmt) == SQLITE_DONE);
    sqlite3_finalize(stmt);
    return ok || Trouble(run, run->dbName) == 0;
}

// Whether path is the index being written or its journal.
bool IsIndex(const tRun* run, const char* path, const struct stat* st) {
    if (st->st_dev == run->dbDev && st->st_ino == run->dbIno) return true;
    const size_t len = strlen(path);
    char base[4096];
    struct stat db;
    return len > 8 && len < sizeof base && strcmp(path + len - 8, "-journal") == 0 &&
           snprintf(base, sizeof base, "%.*s", static_cast<int>(len - 8), path) > 0 && stat(base, &db) == 0 &&
           db.st_dev == run->dbDev && db.st_ino == run->dbIno;
}

// Walk and Entry recurse once a folder level; a folder inside itself is refused.
bool Entry(tRun* run, const char* path, const tFolder* up) {  // NOLINT(misc-no-recursion)
    struct stat st;
    if (stat(path, &st) != 0) {  // gone since the folder was read, a dangling link, a link loop
        struct stat none = {};
        return Visit(run, path, &none);
    }
    if (S_ISDIR(st.st_mode)) {
        for (const tFolder* f = up; f != nullptr; f = f->up) {
            if (f->dev == st.st_dev && f->ino == st.st_ino) {
                Warn(run, "%s: a symlink loop (a folder inside itself): not followed", path);
                return true;
            }
        }
        return Walk(run, path, &st, up);
    }
    return !S_ISREG(st.st_mode) || IsIndex(run, path, &st) || Visit(run, path, &st);
}

bool Walk(tRun* run, const char* path, const struct stat* st,  // NOLINT(misc-no-recursion)
          const tFolder* up) {
    const tFolder here{st->st_dev, st->st_ino, up};
    struct dirent** names = nullptr;
    const int n = scandir(
        path, &names, [](const struct dirent* d) { return d->d_name[0] != '.' ? 1 : 0; }, alphasort);
    if (n < 0 && errno == ENOMEM) return NoMemory(run);
    if (n < 0) {  // what is indexed under it stays as it was
        Warn(run, "cannot read folder %s: %s (what the index holds of it is kept)", path, strerror(errno));
        return Kept(run, path);
    }
    bool ok = true;
    tBuf child{};
    for (int i = 0; i < n; ++i) {
        if (ok) {
            child.len = 0;
            const bool root = strcmp(path, "/") == 0;
            Append(&child, path, root ? 0 : strlen(path));
            Append(&child, "/", 1);
            Append(&child, names[i]->d_name, strlen(names[i]->d_name));
            ok = child.failed ? NoMemory(run) : Entry(run, child.data, &here);
        }
        free(names[i]);
    }
    free(names);
    free(child.data);
    return ok;
}

void Finalize(tRun* run) {
    sqlite3_stmt* const stmts[] = {run->seen,   run->seenAs, run->old,    run->touch,   run->drop,
                                   run->device, run->field,  run->output, run->outputOf};
    for (sqlite3_stmt* s : stmts) sqlite3_finalize(s);
    free(run->bytes.data);
    free(run->messages.data);
    run->bytes = run->messages = tBuf{};
}

// Brings the open index up to date with paths in one transaction: committed
// whole, or (status 2) rolled back. strip leaves a folder's path out of the
// names when two folders are compared.
int Index(tRun* run, char* const* paths, int npaths) {
    if (!Exec(run, "BEGIN IMMEDIATE")) return 2;
    struct stat db;
    if (stat(run->dbName, &db) == 0) {
        run->dbDev = db.st_dev;
        run->dbIno = db.st_ino;
    }
    bool empty = false;
    bool ok =
        Ours(run, &empty) && (!empty || CreateSchema(run)) &&
        Exec(run,
             "CREATE TEMP TABLE seen(file TEXT PRIMARY KEY, dev INTEGER, ino INTEGER, UNIQUE(dev, ino)) WITHOUT ROWID;"
             "CREATE TEMP TABLE kept(path TEXT PRIMARY KEY) WITHOUT ROWID;"
             "CREATE TEMP TABLE outputs(output TEXT PRIMARY KEY, file TEXT) WITHOUT ROWID;") &&
        Prepare(run, "INSERT OR IGNORE INTO temp.seen VALUES(?, ?, ?)", &run->seen) &&
        Prepare(run, "SELECT file FROM temp.seen WHERE file = ?1 OR (dev = ?2 AND ino = ?3)", &run->seenAs) &&
        Prepare(run, "SELECT size, mtime_ns, kind, sha256 FROM devices WHERE file = ?", &run->old) &&
        Prepare(run, "UPDATE devices SET size = ?, mtime_ns = ? WHERE file = ?", &run->touch) &&
        Prepare(run, "DELETE FROM devices WHERE file = ?", &run->drop) &&
        Prepare(run, "INSERT INTO devices VALUES(?, ?, ?, ?, ?, ?, ?, ?)", &run->device) &&
        Prepare(run, "INSERT INTO fields VALUES(?, ?, ?, ?)", &run->field) &&
        Prepare(run, "INSERT OR IGNORE INTO temp.outputs VALUES(?, ?)", &run->output) &&
        Prepare(run, "SELECT file FROM temp.outputs WHERE output = ?", &run->outputOf);
    for (int i = 0; ok && i < npaths; ++i) {
        char* path = paths[i];
        for (size_t n = strlen(path); n > 1 && path[n - 1] == '/'; --n) path[n - 1] = '\0';
        struct stat st;
        if (stat(path, &st) != 0) {
            fprintf(stderr, "devcapfleet: cannot read %s: %s (nothing changed)\n", path, strerror(errno));
            ok = false;
            break;
        }
        ok = S_ISDIR(st.st_mode) ? Walk(run, path, &st, nullptr) : Visit(run, path, &st);
    }
    if (run->progress) fputs("\r\033[K", stderr);
    // The index holds the paths of this run: the devices not found are
    // dropped, except under a folder that could not be read.
    ok = ok &&
         Exec(run,
              "DELETE FROM devices WHERE file NOT IN (SELECT file FROM temp.seen)"
              " AND NOT EXISTS (SELECT 1 FROM temp.kept k WHERE substr(file, 1, length(k.path) + 1) = k.path || '/')");
    if (ok) run->removed = static_cast<size_t>(sqlite3_changes(run->db));
    Finalize(run);
    ok = ok && Exec(run, "DROP TABLE temp.seen; DROP TABLE temp.kept; DROP TABLE temp.outputs");
    if (ok && Exec(run, "COMMIT")) return run->warned ? 1 : 0;
    sqlite3_exec(run->db, "ROLLBACK", nullptr, nullptr, nullptr);
    return 2;
}

// 9994 as "9,994".
const char* Grouped(size_t n, char (&out)[32]) {
    char digits[24];
    const int len = snprintf(digits, sizeof digits, "%zu", n);
    size_t at = 0;
    for (int i = 0; i < len; ++i) {
        if (i > 0 && (len - i) % 3 == 0) out[at++] = ',';
        out[at++] = digits[i];
    }
    out[at] = '\0';
    return out;
}

void Summary(const tRun* run, FILE* out) {
    char a[32], c[32], r[32], u[32];
    fprintf(out, "added %s, changed %s, removed %s, unchanged %s\n", Grouped(run->added, a), Grouped(run->changed, c),
            Grouped(run->removed, r), Grouped(run->unchanged, u));
}

// ---- tables out ----

// The devices of an index, one row each, through the library's rows.
int PrintTable(tRun* run, bool json, const char* fields) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(run->db, "SELECT file, kind, status, record FROM devices ORDER BY file", -1, &stmt,
                           nullptr) != SQLITE_OK)
        return Trouble(run, run->dbName);
    if (json) {
        printf("[");
    } else {
        DevCapRenderCsvHeaderTo(fields, DevCapToFile, stdout);
    }
    bool first = true;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        tDevConf dev;
        const bool record = sqlite3_column_bytes(stmt, 3) == sizeof dev;
        if (record) memcpy(&dev, sqlite3_column_blob(stmt, 3), sizeof dev);
        const auto* file = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        const auto* kind = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        const auto* status = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
        const tDevConf* d = record ? &dev : nullptr;
        if (json) {
            printf("%s\n  ", first ? "" : ",");
            DevCapRenderJsonRowTo(d, file, kind, status, fields, DevCapToFile, stdout);
        } else {
            DevCapRenderCsvRowTo(d, file, kind, status, fields, DevCapToFile, stdout);
        }
        first = false;
    }
    if (json) printf("%s]\n", first ? "" : "\n");
    return sqlite3_finalize(stmt) == SQLITE_OK ? 0 : Trouble(run, run->dbName);
}

// --fields: every name a field's path.
bool KnownFields(const char* fields) {
    for (const char* at = fields;;) {
        const size_t len = strcspn(at, ",");
        bool known = false;
        tDevCapFieldInfo f;
        for (size_t i = 0; !known && DevCapFieldInfo(i, &f) == DEVCAP_OK; ++i)
            known = strlen(f.path) == len && strncmp(f.path, at, len) == 0;
        if (!known) {
            fprintf(stderr, "devcapfleet: --fields: no field '%.*s' (devcapdump --layout lists them)\n",
                    static_cast<int>(len), at);
            return false;
        }
        if (at[len] == '\0') return true;
        at += len + 1;
    }
}

// ---- comparing two indexes ----

// An index to compare: a database of ours, opened read-only, or a folder
// indexed in memory under names relative to it.
bool OpenSide(tRun* run, char* path) {
    struct stat st;
    if (stat(path, &st) != 0) {
        fprintf(stderr, "devcapfleet: cannot read %s: %s\n", path, strerror(errno));
        return false;
    }
    bool empty = false;
    if (!S_ISDIR(st.st_mode)) return Open(run, path, true) && Ours(run, &empty) && !empty;
    if (!Open(run, ":memory:", false)) return false;
    size_t len = strlen(path);
    for (; len > 1 && path[len - 1] == '/'; --len) path[len - 1] = '\0';
    run->strip = len + 1;
    char* paths[] = {path};
    const int indexed = Index(run, paths, 1);
    run->dbName = path;
    return indexed != 2;
}

struct tSide {
    sqlite3_stmt* stmt;
    bool more;
    const char* file() const { return reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)); }
    const char* status() const { return reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)); }
    const tDevConf* record(tDevConf* dev) const {
        if (sqlite3_column_bytes(stmt, 2) != sizeof *dev) return nullptr;
        memcpy(dev, sqlite3_column_blob(stmt, 2), sizeof *dev);
        return dev;
    }
    void next() { more = sqlite3_step(stmt) == SQLITE_ROW; }
};

// Walks both indexes in file order: what appeared, disappeared or changed
// (status, then field by field through the library's diff). 0 same, 1 not.
int Compare(tRun* a, tRun* b, bool json) {
    tSide sides[2] = {};
    tRun* runs[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        if (sqlite3_prepare_v2(runs[i]->db, "SELECT file, status, record FROM devices ORDER BY file", -1,
                               &sides[i].stmt, nullptr) != SQLITE_OK)
            return Trouble(runs[i], runs[i]->dbName);
        sides[i].next();
    }
    tSide &old = sides[0], &now = sides[1];
    if (json) printf("{\"changes\": [");
    bool differ = false;
    while (old.more || now.more) {
        const int order = !old.more ? 1 : !now.more ? -1 : strcmp(old.file(), now.file());
        const char* file = order < 0 ? old.file() : now.file();
        tDevConf da, db;
        const tDevConf* ra = order <= 0 ? old.record(&da) : nullptr;
        const tDevConf* rb = order >= 0 ? now.record(&db) : nullptr;
        const char* was = order <= 0 ? old.status() : nullptr;
        const char* is = order >= 0 ? now.status() : nullptr;
        const bool same =
            order == 0 && strcmp(was, is) == 0 &&
            (ra == nullptr ? rb == nullptr : rb != nullptr && DevCapDiffRecords(ra, rb, nullptr, nullptr) == 0);
        if (!same) {
            const char* what = order < 0 ? "disappeared" : order > 0 ? "appeared" : "changed";
            if (json) {
                printf("%s\n  {\"file\": ", differ ? "," : "");
                DevCapRenderJsonStringTo(file, DevCapToFile, stdout);
                printf(", \"change\": \"%s\", \"old\": ", what);
                DevCapRenderJsonStringTo(was, DevCapToFile, stdout);
                printf(", \"new\": ");
                DevCapRenderJsonStringTo(is, DevCapToFile, stdout);
                printf(", \"diff\": ");
                bool held = false;
                if (ra != nullptr && rb != nullptr) {
                    DevCapRenderDiffJsonTo(ra, rb, a->dbName, b->dbName, LineEndHeld, &held);
                } else {
                    printf("null");
                }
                printf("}");
            } else if (order != 0 || strcmp(was, is) == 0) {
                printf("%s: %s\n", what, file);
            } else {
                printf("changed: %s (%s -> %s)\n", file, was, is);
            }
            bool lineStart = true;  // the library ends each line it renders
            if (!json && ra != nullptr && rb != nullptr) DevCapRenderDiffTo(ra, rb, Indented, &lineStart);
            differ = true;
        }
        if (order <= 0) old.next();
        if (order >= 0) now.next();
    }
    if (json) printf("%s],\n \"same\": %s}\n", differ ? "\n" : "", differ ? "false" : "true");
    const bool read = sqlite3_finalize(old.stmt) == SQLITE_OK && sqlite3_finalize(now.stmt) == SQLITE_OK;
    if (!read) return Trouble(a, a->dbName);
    return differ ? 1 : 0;
}

// ---- rules ----

constexpr char kRuleName[] = "-- name:";

// The next line at or after from that starts a rule; nullptr when none does.
const char* NextRule(const char* from) {
    if (from == nullptr) return nullptr;  // an empty rules file holds no text at all
    for (const char* at = from; (at = strstr(at, kRuleName)) != nullptr; ++at) {
        if (at == from || at[-1] == '\n') return at;
    }
    return nullptr;
}

// The rules file, read before anything is indexed: false (after a line)
// when it cannot be read or holds no rule.
bool ReadRules(const char* path, tBuf* text) {
    const int error = ReadAll(text, path);
    if (error == ENOMEM) return OutOfMemory("devcapfleet") == 0;
    if (error != 0) {
        fprintf(stderr, "devcapfleet: cannot read %s: %s\n", path, strerror(error));
        return false;
    }
    if (NextRule(text->data) != nullptr) return true;
    fprintf(stderr, "devcapfleet: %s: no rule ('-- name: what it holds' above each query)\n", path);
    return false;
}

// Runs each named query of the rules text against the index (opened
// read-only): every row a finding "file: rule". 0 none, 1 findings, 2 a
// query SQLite refuses. dry only prepares each query, on an empty index,
// so that a refused rules file stops a run before it changes anything.
int Check(tRun* run, const char* rulesPath, const char* text, bool json, bool dry) {
    int status = 0;
    tBuf sql{};
    if (json && !dry) printf("[");
    bool first = true;
    for (const char* at = NextRule(text); at != nullptr;) {
        const char* next = NextRule(at + 1);
        const char* body = at + strcspn(at, "\n");
        char name[256];
        const char* from = at + sizeof kRuleName - 1;
        from += strspn(from, " \t");
        size_t len = static_cast<size_t>(body - from);
        while (len > 0 && (from[len - 1] == ' ' || from[len - 1] == '\t' || from[len - 1] == '\r')) --len;
        snprintf(name, sizeof name, "%.*s", static_cast<int>(len), from);
        sql.len = 0;
        Append(&sql, body, next != nullptr ? static_cast<size_t>(next - body) : strlen(body));
        sqlite3_stmt* stmt = nullptr;
        if (sql.failed) {
            status = OutOfMemory("devcapfleet");
            break;
        }
        const int rc = sqlite3_prepare_v2(run->db, sql.data, -1, &stmt, nullptr);
        if (rc != SQLITE_OK || stmt == nullptr || (dry && sqlite3_stmt_readonly(stmt) == 0)) {
            fprintf(stderr, "devcapfleet: %s: rule '%s': %s\n", rulesPath, name,
                    rc != SQLITE_OK   ? sqlite3_errmsg(run->db)
                    : stmt == nullptr ? "no query"
                                      : sqlite3_errstr(SQLITE_READONLY));
            status = 2;
        } else if (!dry) {
            int step;
            while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
                const char* device = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
                if (device == nullptr) device = "";
                if (json) {
                    printf("%s\n  {\"file\": ", first ? "" : ",");
                    DevCapRenderJsonStringTo(device, DevCapToFile, stdout);
                    printf(", \"rule\": ");
                    DevCapRenderJsonStringTo(name, DevCapToFile, stdout);
                    printf("}");
                } else {
                    printf("%s: %s\n", device, name);
                }
                first = false;
                if (status == 0) status = 1;
            }
            if (step != SQLITE_DONE) {
                fprintf(stderr, "devcapfleet: %s: rule '%s': %s\n", rulesPath, name, sqlite3_errmsg(run->db));
                status = 2;
            }
        }
        sqlite3_finalize(stmt);
        at = next;
    }
    free(sql.data);
    if (json && !dry) printf("%s]\n", first ? "" : "\n");
    return status;
}

// ---- the command line ----

int Usage(FILE* out, int status) {
    fprintf(out,
            "usage: devcapfleet [-o FLEET.db] PATH...          index texts and records (default fleet.db)\n"
            "       devcapfleet --csv | --json [--fields A,B] PATH...   the table on standard output\n"
            "       devcapfleet --diff [--json] OLD NEW         two indexes or two folders\n"
            "       devcapfleet --check RULES.sql [--json] [-o FLEET.db] PATH...   rules over the line\n"
            "Folders are walked recursively (hidden names left out); a record is told from a\n"
            "text by content. A second run re-reads only what changed. Exit status: 0 done,\n"
            "1 a warning (a file unreadable, given twice, ...), differences or findings,\n"
            "2 trouble: the database is left as it was.\n");
    return status;
}

int Run(int argc, char* argv[]) {
    const char* output = "fleet.db";
    const char* fields = nullptr;
    const char* rules = nullptr;
    bool csv = false, json = false, diff = false, outputGiven = false;
    // Options may follow the paths; the paths are gathered in argv's front, in order.
    int npaths = 0;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!options || arg[0] != '-' || arg[1] == '\0') {
            argv[1 + npaths++] = argv[i];
            continue;
        }
        const bool takesValue = strcmp(arg, "-o") == 0 || strcmp(arg, "--fields") == 0 || strcmp(arg, "--check") == 0;
        if (takesValue && i + 1 == argc) {
            fprintf(stderr, "devcapfleet: %s needs a value\n", arg);
            return 2;
        }
        if (strcmp(arg, "--") == 0) {
            options = false;
        } else if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            return Usage(stdout, 0);
        } else if (strcmp(arg, "--version") == 0) {
            printf("devcapfleet %s (SQLite %s)\n", DevCapLibVersion(), sqlite3_libversion());
            return 0;
        } else if (strcmp(arg, "--csv") == 0) {
            csv = true;
        } else if (strcmp(arg, "--json") == 0) {
            json = true;
        } else if (strcmp(arg, "--diff") == 0) {
            diff = true;
        } else if (strcmp(arg, "-o") == 0) {
            output = argv[++i];
            outputGiven = true;
        } else if (strcmp(arg, "--fields") == 0) {
            fields = argv[++i];
        } else if (strcmp(arg, "--check") == 0) {
            rules = argv[++i];
        } else {
            fprintf(stderr, "devcapfleet: unknown option %s\n", arg);
            return Usage(stderr, 2);
        }
    }
    const int first = 1;
    const bool table = rules == nullptr && (csv || json);
    if (table && outputGiven) {
        fputs("devcapfleet: --csv and --json alone write no index: -o has no place\n", stderr);
        return 2;
    }
    // Misuse is named before the usage text.
    const char* misuse = npaths == 0                          ? "no PATH given"
                         : csv && json                        ? "--csv and --json exclude each other"
                         : csv && rules != nullptr            ? "--csv and --check exclude each other"
                         : diff && (csv || rules != nullptr)  ? "--diff takes neither --csv nor --check"
                         : diff && npaths != 2                ? "--diff compares two indexes or two folders"
                         : fields != nullptr && !csv && !json ? "--fields chooses the columns of --csv or --json"
                                                              : nullptr;
    if (misuse != nullptr) {
        fprintf(stderr, "devcapfleet: %s\n", misuse);
        return Usage(stderr, 2);
    }
    if (fields != nullptr && !KnownFields(fields)) return 2;
    if (diff) {
        tRun a{}, b{};
        const int status = OpenSide(&a, argv[first]) && OpenSide(&b, argv[first + 1]) ? Compare(&a, &b, json) : 2;
        sqlite3_close(a.db);
        sqlite3_close(b.db);
        return status;
    }
    tBuf rulesText{};
    if (rules != nullptr) {
        tRun dry{};
        const bool valid = ReadRules(rules, &rulesText) && Open(&dry, ":memory:", false) && CreateSchema(&dry) &&
                           Check(&dry, rules, rulesText.data, json, true) == 0;
        sqlite3_close(dry.db);
        if (!valid) {
            free(rulesText.data);
            return 2;
        }
    }
    tRun run{};
    run.progress = isatty(STDERR_FILENO) != 0;
    struct stat st;
    const bool existed = table || stat(output, &st) == 0;
    int status = Open(&run, table ? ":memory:" : output, false) ? Index(&run, argv + first, npaths) : 2;
    if (status != 2 && table) {
        status = PrintTable(&run, json, fields) == 2 ? 2 : status;
    } else if (status != 2) {
        Summary(&run, rules != nullptr ? stderr : stdout);
    }
    sqlite3_close(run.db);
    if (status == 2 && !existed) unlink(output);  // made by this run, which failed
    tRun check{};
    if (status != 2 && rules != nullptr) {
        const bool open = Open(&check, output, true) && Exec(&check, "PRAGMA query_only = 1");
        status = open ? Check(&check, rules, rulesText.data, json, false) : 2;
        sqlite3_close(check.db);
    }
    free(rulesText.data);
    return status;
}

}  // namespace

int main(int argc, char* argv[]) { return DevCapCloseStdout("devcapfleet", Run(argc, argv)); }
