// The workbench page: an editor for capability text with the linter's
// findings on their lines, the converter's verdict, and the record as a
// coloured byte map. All of it runs the converter core compiled to
// WebAssembly (DevCapModule); nothing leaves the page.
"use strict";

const $ = (id) => document.getElementById(id);
const state = {
  core: null,       // the WebAssembly module
  entries: null,    // every entry with its field and keywords
  examples: [],     // the shipped example texts, {name, text}
  // The editor's text.
  raw: null,        // the bytes of an opened file, until the text is edited
  name: "untitled.txt",
  fresh: false,     // a new text nobody has written in yet: no verdict on it
  pending: 0,       // typing updates the page a moment after the last key
  // The record on show, the editor text's or an opened .bin's: everything on
  // the record side renders from it alone.
  shown: null,      // {bytes, name, fromFile, download, dump, rebuilt}
  other: null,      // {name, bytes} it is compared with
  diff: null,       // the core's comparison, or null
  refused: null,    // {name, lines}: the last file to compare with did not load
  field: -1,        // the field in the detail panel
  cursor: 0,        // the byte holding the map's tab stop
  legendAt: 0,      // the field holding the legend's tab stop
  findings: [],     // the linter's, on the editor's text
  suggestions: [],
  chosen: 0,
  view: [0, 0],     // the editor's scroll, kept when it takes the focus
  reveal: false,    // ... unless the page is taking the reader to a place
  editing: false,   // the page, not the reader, is changing the text
  // The fleet: devices {file, bytes, row} with their rows as devcapfleet
  // prints them, the field columns on show (the reader's choice once made),
  // the sort {column, dir}, filters by column, the rows on show, the grid's
  // tab stop [row, column] (row 0 the headings, 1 the filters).
  fleet: { devices: [], columns: [], chosen: false, sort: null, filters: {}, shown: [], at: [0, 0] },
};
// On a phone the map has 8 bytes a row, big enough to tap.
const narrow = matchMedia("(max-width: 560px)");
const perRow = () => (narrow.matches ? 8 : 16);

const NEW_TEXT = `# A new capability text: one entry a line, NAME='value'; # starts a comment.
# Type an entry name (Ctrl+Space lists them, and inside the quotes the entry's
# keywords), start from an example, or open or drop a .txt or .bin.
`;

// ---- calls into the core: bytes in, {status, bytes} out ----
function call(fn, bytes, ...args) {
  const m = state.core;
  const input = m._WebInput();
  const size = Math.min(bytes.length, m._WebInputSize());
  m.HEAPU8.set(bytes.subarray(0, size), input);
  const reply = fn(input, size, ...args) >>> 0;
  const view = new DataView(m.HEAPU8.buffer);
  const status = view.getUint32(reply, true);
  const len = view.getUint32(reply + 4, true);
  return { status, bytes: m.HEAPU8.slice(reply + 8, reply + 8 + len) };
}
const utf8 = new TextDecoder("utf-8");
const text = (bytes) => utf8.decode(bytes);
const encode = (s) => new TextEncoder().encode(s);
// A reply of JSON, a NUL byte, then text.
function jsonAndText(bytes) {
  const nul = bytes.indexOf(0);
  return [JSON.parse(text(bytes.slice(0, nul))), text(bytes.slice(nul + 1))];
}

function convert(bytes) {
  const r = call(state.core._WebConvert, bytes);
  return { written: r.status === 0, record: r.bytes.slice(0, 120), messages: text(r.bytes.slice(120)) };
}
// The linter's findings, with their places in the editor's units (the core converts).
const lint = (bytes) => JSON.parse(text(call(state.core._WebLint, bytes).bytes));
// The bytes with every fix the linter is sure of applied, by the core.
const fixed = (bytes) => call(state.core._WebFix, bytes).bytes;
// Where a line's name and value are, as the converter reads it (UTF-16 units).
const lineParts = (line) => JSON.parse(text(call(state.core._WebLine, encode(line)).bytes));
function describe(record, name) {
  const m = state.core;
  const at = m._WebInput() + 120;
  m.HEAPU8.set(encode(name + "\0"), at);
  const r = call((input, size) => m._WebRecord(input, size, at), record);
  if (r.status === 2) return null;
  const [dump, rebuilt] = jsonAndText(r.bytes);
  return { dump, rebuilt };
}
// The core's comparison of record a with b (a record or a text named name),
// with its text lines; {refused: the converter's lines} when b does not load.
function compare(a, b, name) {
  const head = encode(name + "\0");
  const all = new Uint8Array(head.length + a.length + b.length);
  all.set(head);
  all.set(a, head.length);
  all.set(b, head.length + a.length);
  const r = call((input, size) =>
    state.core._WebDiff(input + head.length, a.length, size - head.length - a.length, input), all);
  if (r.status === 2) return { refused: text(r.bytes) };
  const [diff, lines] = jsonAndText(r.bytes);
  return { ...diff, lines };
}

// A call taking bytes and, after them, NUL-terminated strings.
function callNamed(fn, strings, bytes, ...args) {
  const head = encode(strings.map((x) => x + "\0").join(""));
  const all = new Uint8Array(head.length + bytes.length);
  all.set(head);
  all.set(bytes, head.length);
  const at = [];
  for (let o = 0; o < head.length; o = head.indexOf(0, o) + 1) at.push(o);
  return call((input, size) => fn(input + head.length, size - head.length, ...at.map((o) => input + o), ...args), all);
}

// The name devcap2bin gives the record of a text file, "BinFiles/<base>.bin",
// asked of the core; null when it would be too long.
function outputName(file) {
  const r = call((input) => state.core._WebOutputName(input), encode(file + "\0"));
  return r.status === 0 ? text(r.bytes) : null;
}
const recordName = (out) => (out || "BinFiles/untitled.bin").slice("BinFiles/".length);

function say(message, kind) {
  $("status").textContent = message;
  $("status").className = kind || "";
}

// ---- the text side ----
function currentBytes() { return state.raw || encode($("editor").value); }

function setText(value, name, raw, fresh) {
  const ed = $("editor");
  ed.value = value;
  // A new document shows its top, the caret there too (a new text's at its
  // end, under the comment, where one writes).
  const at = fresh ? value.length : 0;
  ed.setSelectionRange(at, at);
  ed.scrollTop = ed.scrollLeft = 0;
  state.view = [0, 0];
  state.refused = null;  // a new document: an old refusal no longer applies
  state.raw = raw || null;
  state.name = name;
  state.fresh = Boolean(fresh);
  $("filename").textContent = name;
  update();
}

function update() {
  clearTimeout(state.pending);
  state.pending = 0;
  const bytes = currentBytes();
  const result = convert(bytes);
  const out = outputName(state.name);
  showFindings(state.fresh ? [] : lint(bytes));
  $("messages").textContent = state.fresh ? "(nothing written yet)" : result.messages || "(no messages)";
  const limit = state.core._WebInputSize();
  if (state.fresh) say("A new text: type entries, or start from an example");
  else if (bytes.length > limit) say(`only the first ${limit} bytes of this text are read here`, "bad");
  else if (!result.written) say("devcap2bin refuses this text", "bad");
  else if (!out) say("devcap2bin refuses this file name: the record's name is too long", "bad");
  else say(`devcap2bin would write ${out}`, "ok");
  const written = result.written && out !== null;
  showRecord({ bytes: result.record, name: recordName(out), fromFile: false, download: written ? result.record : null });
}

// The line numbers, each marked with its line's worst finding; a number's
// row holds an unseen copy of its line, as tall as the line wrapped.
function gutter() {
  const findings = state.findings, lines = $("editor").value.split("\n");
  const worst = new Map();
  for (const f of findings) {
    if (worst.get(f.line) !== "error") worst.set(f.line, f.severity);
  }
  $("lines").replaceChildren(...lines.map((line, i) => {
    const n = i + 1, div = document.createElement("div");
    div.id = "ln-" + n;
    div.innerHTML = `<span></span><span class="t"></span>`;
    div.firstChild.textContent = n;
    div.lastChild.textContent = line;
    if (worst.has(n)) {
      div.className = worst.get(n);
      div.title = findings.filter((f) => f.line === n).map((f) => `${f.severity}: ${f.message} [${f.rule}]`).join("\n");
    }
    return div;
  }));
  $("gutter").style.width = `${String(lines.length).length + 2.5}ch`;
  fitGutter();
}

function showFindings(findings) {
  state.findings = findings;
  gutter();
  const list = $("findings");
  const button = (label, aria, then) => {
    const b = document.createElement("button");
    b.type = "button";
    b.className = "fix";
    b.textContent = label;
    b.setAttribute("aria-label", aria);
    b.addEventListener("click", then);
    return b;
  };
  list.replaceChildren(...findings.map((f) => {
    const li = document.createElement("li");
    li.className = f.severity;
    li.dataset.line = f.line;
    li.innerHTML = `<button type="button" class="at"></button> ${f.severity}: <span class="msg"></span>
      <span class="rule">[${f.rule}]</span>`;
    li.querySelector(".at").textContent = `${f.line}:${f.columns[0]}`;
    li.querySelector(".at").setAttribute("aria-label", `Go to line ${f.line}, column ${f.columns[0]}`);
    li.querySelector(".msg").textContent = f.message;
    li.addEventListener("click", (e) => { if (!e.target.closest(".fix")) goTo(f.line, f.at); });
    if (f.fix) li.append(" ", button("Fix", `Fix line ${f.line}: ${f.message}`, () => applyFix(f)));
    if (f.disable) {
      li.append(" ", button("Turn off", `Turn ${f.rule} off from line ${f.line} on`, () => {
        edits([[f.line, 0, 0]], [f.disable]);
        goTo(f.line + 1, f.at);
      }));
    }
    return li;
  }));
  if (findings.length === 0) list.innerHTML = `<li>${state.fresh ? "None yet." : "No findings."}</li>`;
  $("fixall").hidden = !findings.some((f) => f.fix);
}

// Replaces the editor's text from..to as typing would, through its undo
// history, so that Ctrl+Z takes a fix or a taken suggestion back like a
// keystroke (setRangeText where execCommand is gone; that one cannot be undone).
function edit(from, to, insert) {
  const ed = $("editor");
  state.editing = true;
  ed.focus();
  ed.setSelectionRange(from, to);
  if (!document.execCommand("insertText", false, insert)) ed.setRangeText(insert, from, to, "end");
  state.editing = false;
}

// Where line n (from 1) starts in the editor's text.
function lineStart(n) {
  const value = $("editor").value;
  let at = 0;
  for (let i = 1; i < n && at >= 0; i++) at = value.indexOf("\n", at) + 1 || -1;
  return at < 0 ? value.length : at;
}

// Edits [line, from, to] (UTF-16 units, as the core gives them) with their
// new texts, made as one edit of the span they cover: one Ctrl+Z takes them
// all back.
function edits(spans, texts) {
  const value = $("editor").value;
  const at = spans.map(([line, from, to], i) => [lineStart(line) + from, lineStart(line) + to, texts[i]])
    .sort((x, y) => x[0] - y[0]);
  let insert = "";
  at.forEach(([from, , put], i) => { insert += (i > 0 ? value.slice(at[i - 1][1], from) : "") + put; });
  edit(at[0][0], at.at(-1)[1], insert);
}

// One finding's fix, in the editor: the core says where its edits go.
function applyFix(finding) {
  edits(finding.edits, finding.fix.map((e) => e.text));
  update();
  goTo(finding.line, [finding.at[0], finding.at[0]]);
}

// Every certain fix at once, by the core, into the bytes it read (an opened
// file's line ends kept); the editor gets the one span that changed.
function fixAll() {
  const bytes = fixed(currentBytes());
  const old = $("editor").value, now = text(bytes).replace(/\r\n?/g, "\n");  // as a textarea holds it
  let from = 0, tail = 0;
  while (from < old.length && from < now.length && old[from] === now[from]) from++;
  while (tail < old.length - from && tail < now.length - from && old.at(-1 - tail) === now.at(-1 - tail)) tail++;
  edit(from, old.length - tail, now.slice(from, now.length - tail));
  state.raw = bytes;
  update();
}

// Selects [from, to) of line (UTF-16 units, as the core gives them).
function goTo(line, [from, to]) {
  const ed = $("editor"), at = lineStart(line);
  // The browser scrolls to the caret as the editor takes the focus, not as
  // the caret moves.
  ed.blur();
  ed.setSelectionRange(at + from, at + to);
  state.reveal = true;
  ed.focus();
}

// The numbers move with the text by its own scroll offset: the gutter has no
// scroll range of its own to run short of (the editor's horizontal scroll bar
// adds to the editor's).
function syncGutter() { $("lines").style.transform = `translateY(${-$("editor").scrollTop}px)`; }
// The copies of the lines wrap where the editor wraps them.
function fitGutter() {
  const ed = $("editor"), s = getComputedStyle(ed);
  const width = ed.clientWidth - parseFloat(s.paddingLeft) - parseFloat(s.paddingRight);
  $("lines").style.setProperty("--text-width", `${width}px`);
  syncGutter();
}

// ---- suggestions: entry names, and inside the quotes the entry's keywords ----
// What to offer at the caret, from the core's reading of its line: entry
// names before the '=', the entry's keywords inside its quotes.
function context() {
  const ed = $("editor"), caret = ed.selectionStart, start = ed.value.lastIndexOf("\n", caret - 1) + 1;
  const end = ed.value.indexOf("\n", caret);
  const line = ed.value.slice(start, end < 0 ? ed.value.length : end), at = caret - start;
  const p = lineParts(line);
  if (p.kind === LINE_SKIPPED) return null;  // a comment
  if (p.kind === LINE_NO_ENTRY || at <= p.name) {
    return { kind: "name", prefix: line.slice(0, Math.min(at, p.name)), held: [] };
  }
  const entry = state.entries[p.entry];
  if (!entry || entry.keywords.length === 0 || !p.opened || at < p.value[0] || (p.closed && at > p.value[1])) return null;
  const value = line.slice(p.value[0], at);
  if (entry.kind !== "list") return { kind: "keyword", prefix: value, entry, held: [] };
  // A list offers only what it does not hold yet, before or after the cursor.
  const after = line.slice(at, p.value[1]);
  const cut = value.lastIndexOf(",") + 1;
  const held = (value.slice(0, cut) + after.slice(after.indexOf(",") + 1 || after.length)).split(",");
  return { kind: "keyword", prefix: value.slice(cut), entry, held: held.map((w) => w.trim().toUpperCase()) };
}
const LINE_SKIPPED = 0, LINE_NO_ENTRY = 1;  // the core's DEVCAP_LINE_...

function suggest(force) {
  const c = context();
  const list = $("suggest");
  if (!c || (!force && c.prefix === "")) return hideSuggestions();
  const words = c.kind === "name" ? state.entries.map((e) => e.name) : c.entry.keywords.map((k) => k.text);
  const p = c.prefix.toUpperCase();
  state.suggestions = words
    .filter((w) => w.toUpperCase().startsWith(p) && w.toUpperCase() !== p && !c.held.includes(w.toUpperCase()))
    .map((w) => ({ text: w, kind: c.kind, prefix: c.prefix }));
  if (state.suggestions.length === 0) return hideSuggestions();
  state.chosen = 0;
  list.replaceChildren(...state.suggestions.map((s, i) => {
    const li = document.createElement("li");
    li.id = "suggest-" + i;
    li.setAttribute("role", "option");
    li.textContent = s.text;
    li.addEventListener("mousedown", (e) => { e.preventDefault(); state.chosen = i; accept(); });
    return li;
  }));
  list.hidden = false;
  place(list);
  mark();
}

// Puts the list under the caret, or over it where the editor ends first; the
// caret's place is taken from the gutter's copy of its line, brought up to date.
function place(list) {
  const ed = $("editor"), box = list.offsetParent, lines = ed.value.split("\n");
  const n = ed.value.slice(0, ed.selectionStart).split("\n").length;
  if ($("lines").children.length !== lines.length) gutter();
  const copy = $("ln-" + n).lastChild;
  copy.textContent = lines[n - 1];
  const range = document.createRange();
  const column = ed.selectionStart - ed.value.lastIndexOf("\n", ed.selectionStart - 1) - 1;
  if (copy.firstChild) range.setStart(copy.firstChild, column);
  else range.selectNodeContents(copy);
  range.collapse(true);
  const caret = range.getClientRects()[0] || copy.getBoundingClientRect();
  const at = box.getBoundingClientRect(), room = box.clientWidth - list.offsetWidth;
  const left = ed.offsetLeft + ed.clientLeft + parseFloat(getComputedStyle(ed).paddingLeft) +
    caret.left - copy.getBoundingClientRect().left;
  const below = caret.bottom - at.top - box.clientTop;
  const above = caret.top - at.top - box.clientTop - list.offsetHeight;
  list.style.left = `${Math.max(0, Math.min(left, room))}px`;
  list.style.top = `${below + list.offsetHeight > box.clientHeight && above >= 0 ? above : below}px`;
}

function mark() {
  [...$("suggest").children].forEach((li, i) => li.setAttribute("aria-selected", String(i === state.chosen)));
  $("editor").setAttribute("aria-activedescendant", "suggest-" + state.chosen);
  const li = $("suggest-" + state.chosen);
  if (li) li.scrollIntoView({ block: "nearest" });
}

function hideSuggestions() {
  $("suggest").hidden = true;
  state.suggestions = [];
  $("editor").removeAttribute("aria-activedescendant");
}

function accept() {
  const s = state.suggestions[state.chosen];
  const ed = $("editor");
  const at = ed.selectionStart;
  const tail = s.kind === "name" ? "='" : (ed.value[at] === "'" ? "" : "'");
  edit(at - s.prefix.length, at, s.text + tail);
  hideSuggestions();
  state.raw = null;
  state.fresh = false;
  update();
}

// ---- the record side ----
// Shows a record, {bytes, name, fromFile, download}, in every panel.
function showRecord(record) {
  const d = describe(record.bytes, record.name);
  if (!d) return say(`${record.name} is not a record`, "bad");
  state.shown = { ...record, ...d };
  state.diff = state.other ? compare(record.bytes, state.other.bytes, state.other.name) : null;
  $("recordname").textContent = record.name;
  $("download").disabled = !record.download;
  renderMap();
  renderLegend();
  renderDetail();
  renderCompare();
  $("recordbox").hidden = !record.fromFile;
  const check = d.dump.check;
  $("checklines").textContent = (check.passes ? "passes" : "fails") + check.lines.map((l) => "\n" + l).join("");
}

const hue = (i) => (i * 47) % 360;
const hex = (n, width) => n.toString(16).toUpperCase().padStart(width, "0");
const fieldAt = (at) => state.shown.dump.fields.findIndex((f) => at >= f.offset && at < f.offset + f.width);
const differs = (f) => Boolean(state.diff && state.diff.fields.some((c) => c.offset === f.offset));

// A grid with one tab stop, the byte at state.cursor; arrow keys move it.
function renderMap() {
  const { bytes, dump } = state.shown;
  const map = $("map");
  const refocus = map.contains(document.activeElement);
  const per = perRow();
  const rows = [];
  for (let start = 0; start < bytes.length; start += per) {
    const row = document.createElement("div");
    row.className = "row";
    row.setAttribute("role", "row");
    const head = document.createElement("div");
    head.className = "off";
    head.setAttribute("role", "rowheader");
    head.textContent = "0x" + hex(start, 2);
    row.append(head);
    for (let at = start; at < Math.min(start + per, bytes.length); at++) {
      const i = fieldAt(at), f = dump.fields[i];
      const cell = document.createElement("div");
      cell.id = "byte-" + at;
      cell.setAttribute("role", "gridcell");
      cell.className = "byte";
      cell.classList.toggle("start", at === f.offset);
      cell.classList.toggle("unknown", !f.reproducible);
      cell.classList.toggle("differs", differs(f));
      cell.classList.toggle("hot", i === state.field);
      cell.dataset.offset = at;
      cell.dataset.field = i;
      cell.style.setProperty("--hue", hue(i));
      cell.tabIndex = at === state.cursor ? 0 : -1;
      cell.textContent = hex(bytes[at], 2);
      cell.title = f.path;
      cell.setAttribute("aria-label", `${cell.textContent}, byte ${at}: ${f.path}${differs(f) ? ", differs" : ""}`);
      row.append(cell);
    }
    rows.push(row);
  }
  map.dataset.perRow = per;
  map.setAttribute("aria-label", `The record's ${bytes.length} bytes, ${per} a row; arrow keys move from byte to byte`);
  map.replaceChildren(...rows);
  if (refocus) $("byte-" + state.cursor).focus();
}

// A list of the fields with one tab stop, the field at state.legendAt.
function renderLegend() {
  const legend = $("legend");
  const refocus = legend.contains(document.activeElement);
  const fields = state.shown.dump.fields;
  legend.replaceChildren(...fields.map((f, i) => {
    const li = document.createElement("li");
    li.id = "field-" + i;
    li.setAttribute("role", "option");
    li.setAttribute("aria-selected", String(i === state.field));
    li.dataset.field = i;
    li.tabIndex = i === state.legendAt ? 0 : -1;
    li.classList.toggle("unknown", !f.reproducible);
    li.classList.toggle("differs", differs(f));
    li.style.setProperty("--hue", hue(i));
    li.innerHTML = `<span class="swatch"></span>`;
    li.append(f.path);
    if (differs(f)) li.insertAdjacentHTML("beforeend", ` <span class="badge">differs</span>`);
    return li;
  }));
  $("fieldcount").textContent = `(${fields.length})`;
  if (refocus) $("field-" + state.legendAt).focus();
}

function renderDetail() {
  const f = state.shown.dump.fields[state.field];
  if (!f) {
    $("detail").innerHTML = "<p>Point at, tap or focus a byte or a field name to see its field.</p>";
    return;
  }
  const rows = [
    ["field", f.path], ["offset", `${f.offset} (0x${f.offset.toString(16)})`], ["width", `${f.width} byte${f.width > 1 ? "s" : ""}`],
    ["raw", f.raw], ["value", f.value === null ? "-" : String(f.value)],
    ["means", f.keywords.length ? f.keywords.join(", ") : (f.text !== null ? f.text : "-")],
    ["default", f.default ? "yes" : "no"], ["set by", f.entry || "no entry (fixed)"],
  ];
  if (!f.reproducible) rows.push(["!", "no entry can produce this value"]);
  const change = state.diff && state.diff.fields.find((c) => c.offset === f.offset);
  if (change) rows.push([`in ${state.other.name}`, change.b]);
  const dl = document.createElement("dl");
  for (const [k, v] of rows) {
    const dt = document.createElement("dt");
    dt.textContent = k;
    const dd = document.createElement("dd");
    dd.textContent = v;
    dl.append(dt, dd);
  }
  $("detail").replaceChildren(dl);
}

function renderCompare() {
  const { other, diff, refused } = state;
  const n = diff ? diff.fields.length : 0;
  const lines = refused ? refused.lines : diff && !diff.same ? diff.lines : "";
  $("uncompare").hidden = !other;
  $("difflines").hidden = !lines;
  $("difflines").textContent = lines;
  $("comparewith").textContent =
    refused ? `${refused.name} is neither a record nor a text devcap2bin takes: nothing to compare.`
      : !other ? "Open or drop a second text or record here: the map marks the fields that differ."
        : diff.same ? `${state.shown.name} and ${other.name} are the same record.`
          : `${state.shown.name} -> ${other.name}: ${n === 1 ? "1 field differs" : `${n} fields differ`}.`;
}

// The field in the detail panel, marked on the map and in the legend.
function select(i) {
  if (i === state.field) return;
  state.field = i;
  document.querySelectorAll("#map .hot").forEach((c) => c.classList.remove("hot"));
  document.querySelectorAll(`#map [data-field="${i}"]`).forEach((c) => c.classList.add("hot"));
  document.querySelectorAll("#legend [aria-selected=true]").forEach((li) => li.setAttribute("aria-selected", "false"));
  const li = $("field-" + i);
  if (li) li.setAttribute("aria-selected", "true");
  renderDetail();
}

// Where a key moves a roving tab stop among count items, row a row: the
// new index (the same one at an edge), or undefined for other keys.
function step(key, at, count, row, ctrl) {
  const home = at - (at % row);
  const to = {
    ArrowLeft: at - 1, ArrowRight: at + 1, ArrowUp: at - row, ArrowDown: at + row,
    Home: ctrl ? 0 : home, End: ctrl ? count - 1 : Math.min(home + row, count) - 1,
  }[key];
  return to === undefined ? undefined : to >= 0 && to < count ? to : at;
}

// One tab stop among a box's items (ids prefix + index): focus moves the stop
// to the item and shows its field, the arrow keys move the focus.
function roving(box, prefix, key, itemOf, count, perRow, ctrl) {
  box.addEventListener("focusin", (e) => {
    const item = itemOf(e);
    if (!item) return;
    const old = $(prefix + state[key]);
    if (old) old.tabIndex = -1;
    state[key] = Number(item.id.slice(prefix.length));
    item.tabIndex = 0;
    select(Number(item.dataset.field));
  });
  box.addEventListener("mouseover", (e) => { if (itemOf(e)) select(Number(itemOf(e).dataset.field)); });
  box.addEventListener("keydown", (e) => {
    const to = step(e.key, state[key], count(), perRow(), ctrl || e.ctrlKey);
    if (to === undefined) return;
    e.preventDefault();
    $(prefix + to).focus();
  });
}

function wireMap() {
  roving($("map"), "byte-", "cursor", (e) => e.target.closest("[data-offset]"), () => state.shown.bytes.length,
    perRow, false);
  roving($("legend"), "field-", "legendAt", (e) => e.target.closest("[data-field]"),
    () => state.shown.dump.fields.length, () => 1, true);
}

// ---- files: open, drop, compare, download ----
async function openFile(file) { openBytes(file.name, new Uint8Array(await file.arrayBuffer())); }

// Opens a text in the editor or a record in the record view: true for a record.
function openBytes(name, bytes) {
  flush();  // an edit's update must not land on top of the opened record
  if (/\.bin$/i.test(name) || call(state.core._WebIsRecord, bytes).status === 1) {
    if (bytes.length !== 120) return say(`${name} is ${bytes.length} bytes, not a 120-byte record`, "bad");
    say(`${name}: the record, its check and the text that rebuilds it`);
    state.refused = null;
    showRecord({ bytes, name, fromFile: true, download: bytes });
    return true;
  }
  setText(text(bytes), name, bytes);
  return false;
}

// A file that does not load leaves nothing compared, only its lines.
async function compareWith(file) {
  const other = file && { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
  const d = other && compare(state.shown.bytes, other.bytes, other.name);
  state.other = d && !("refused" in d) ? other : null;
  state.refused = d && "refused" in d ? { name: other.name, lines: d.refused } : null;
  showRecord(state.shown);
}

function download() {
  const { download: bytes, name } = state.shown;
  if (bytes) save(bytes, name, "application/octet-stream");
}

function save(data, name, type) {
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([data], { type }));
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
}

// ---- the fleet: many devices, one row each, as devcapfleet tabulates them ----
const row = (bytes, file, fields, csv) => text(callNamed(state.core._WebRow, [file, fields], bytes, csv).bytes);
const FIXED = ["file", "kind", "status"];
const cellText = (v) => (v === null || v === undefined ? "" : String(v));

// Reads the files ({name, file}) into the table, in order of their names.
async function openFleet(files) {
  const start = performance.now(), f = state.fleet;
  // One read of all of them: the browser takes about as long over each file's read as over their bytes.
  const all = new Uint8Array(await new Blob(files.map((x) => x.file)).arrayBuffer());
  let at = 0;
  f.devices = files.map(({ name, file }) => {
    const bytes = all.subarray(at, (at += file.size));
    return { file: name, bytes, row: JSON.parse(row(bytes, name, "", 0)) };
  });
  f.devices.sort((a, b) => (a.file < b.file ? -1 : a.file > b.file ? 1 : 0));
  const paths = f.devices.length ? Object.keys(f.devices[0].row).slice(FIXED.length) : [];
  if (!f.chosen) {
    // At first the fields an entry sets that differ across the fleet.
    const set = new Set(state.entries.map((e) => e.field));
    const differ = paths.filter((p) => set.has(p) && new Set(f.devices.map((d) => cellText(d.row[p]))).size > 1);
    f.columns = differ.length ? differ : paths.filter((p) => set.has(p)).slice(0, 6);
  }
  $("columnlist").replaceChildren(...paths.map((p) => {
    const label = document.createElement("label");
    label.innerHTML = `<input type="checkbox"> `;
    label.firstChild.checked = f.columns.includes(p);
    label.firstChild.addEventListener("change", () => {
      f.chosen = true;
      f.columns = [...$("columnlist").querySelectorAll("input")].filter((c) => c.checked)
        .map((c) => c.parentNode.textContent.trim());
      renderFleet();
    });
    label.append(p);
    return label;
  }));
  f.sort = null;
  f.filters = {};
  f.at = [0, 0];
  renderFleet();
  const n = f.devices.length;
  $("fleetcount").textContent = `(${n} device${n === 1 ? "" : "s"})`;
  $("fleet").scrollIntoView();  // laid out, and so counted
  say(`${n} file${n === 1 ? "" : "s"} read into the fleet table in ${Math.round(performance.now() - start)} ms`);
  document.body.dataset.fleet = n;
}

// The headings and filter boxes, then the rows.
function renderFleet() {
  const f = state.fleet, columns = [...FIXED, ...f.columns];
  $("fleetbox").hidden = f.devices.length === 0;
  $("csv").disabled = f.devices.length === 0;
  const heads = document.createElement("tr"), filters = document.createElement("tr");
  columns.forEach((c) => {
    const th = document.createElement("th");
    th.tabIndex = -1;
    th.textContent = c;
    const td = document.createElement("td");
    td.innerHTML = `<input type="search" tabindex="-1">`;
    td.firstChild.value = f.filters[c] || "";
    td.firstChild.setAttribute("aria-label", `Rows whose ${c} holds`);
    td.firstChild.addEventListener("input", (e) => { f.filters[c] = e.target.value; renderRows(); });
    heads.append(th);
    filters.append(td);
  });
  // Fixed column widths, from the longest cell: the browser need not
  // measure thousands of cells to lay the table out.
  const widths = columns.map((c) => Math.min(40, f.devices.reduce((w, d) => Math.max(w, cellText(d.row[c]).length),
    Math.max(c.length + 2, 6))));
  $("fleetcols").innerHTML = widths.map((w) => `<col style="width: calc(${w}ch + 12px)">`).join("");
  $("fleettable").style.width = `calc(${widths.reduce((a, b) => a + b, 0)}ch + ${12 * widths.length}px)`;
  $("fleettable").tHead.replaceChildren(heads, filters);
  renderRows();
}

// The rows that pass the filters, sorted; each cell that differs from its
// column's most common value (when one value is the most common) marked.
function renderRows() {
  const f = state.fleet, columns = [...FIXED, ...f.columns];
  const common = columns.map((c) => {
    const counts = new Map();
    // A device without a record has no say, and no mark, in a field's column.
    for (const d of f.devices) if (d.row[c] !== null) counts.set(cellText(d.row[c]), (counts.get(cellText(d.row[c])) || 0) + 1);
    const [first, second] = [...counts].sort((a, b) => b[1] - a[1]);
    return first && (!second || first[1] > second[1]) ? first[0] : undefined;
  });
  f.shown = f.devices.filter((d) => columns.every((c) =>
    cellText(d.row[c]).toLowerCase().includes((f.filters[c] || "").toLowerCase())));
  if (f.sort) {
    const { column: c, dir } = f.sort;
    const order = (a, b) => (a === null ? 1 : b === null ? -1 : typeof a === "number" && typeof b === "number"
      ? a - b : String(a).localeCompare(String(b), undefined, { numeric: true }));
    f.shown.sort((a, b) => (a.row[c] === null || b.row[c] === null ? 1 : dir) * order(a.row[c], b.row[c]));
  }
  f.common = common;
  document.querySelectorAll("#fleettable th").forEach((th, i) => {
    const dir = f.sort && f.sort.column === columns[i] ? f.sort.dir : 0;
    th.setAttribute("aria-sort", dir > 0 ? "ascending" : dir < 0 ? "descending" : "none");
  });
  f.at = [Math.min(f.at[0], 1 + f.shown.length), Math.min(f.at[1], columns.length - 1)];
  f.window = null;
  renderWindow();
}

// Only the rows in and near the box's view are in the page, the rest stand
// in a row as tall as they would be: the browser would take seconds to lay
// out the tens of thousands of cells of a thousand devices.
const ROW = 23;  // px, a row's height in the style sheet
function renderWindow() {
  const f = state.fleet, box = $("fleetbox"), columns = [...FIXED, ...f.columns];
  const first = Math.max(0, Math.floor(box.scrollTop / ROW) - 30);
  const last = Math.min(f.shown.length, first + Math.ceil((box.clientHeight || innerHeight) / ROW) + 60);
  if (f.window && f.window[0] === first && f.window[1] === last) return;
  f.window = [first, last];
  const focused = box.contains(document.activeElement) && document.activeElement.tagName === "TD";
  const html = (t) => t.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/"/g, "&quot;");
  const pad = (n) => (n ? `<tr aria-hidden="true"><td colspan="${columns.length}" style="height: ${n * ROW}px"></td></tr>` : "");
  $("fleettable").tBodies[0].innerHTML = pad(first) + f.shown.slice(first, last).map((d, k) =>
    `<tr data-i="${first + k}">${columns.map((c, i) => {
      const t = cellText(d.row[c]), odd = f.common[i] !== undefined && d.row[c] !== null && t !== f.common[i];
      const refused = c === "status" && d.row.status !== "ok";
      return `<td tabindex="-1" class="${odd ? "odd" : ""}${refused ? " refused" : ""}"${
        odd ? ` title="most devices: ${html(f.common[i] || "(empty)")}"` : ""}>${html(t)}</td>`;
    }).join("")}</tr>`).join("") + pad(f.shown.length - last);
  stopAt(...f.at);
  if (focused && fleetItem(...f.at)) fleetItem(...f.at).focus({ preventScroll: true });
}

// The one tab stop of the grid (a filter box in the filters' row).
// Rows count from the headings (0) and the filters (1); a device's row
// may not be in the page.
function fleetItem(r, c) {
  const row = r < 2 ? $("fleettable").rows[r] : $("fleettable").tBodies[0].querySelector(`[data-i="${r - 2}"]`);
  return row && (r === 1 ? row.cells[c].firstChild : row.cells[c]);
}
// Brings a device's row into the page, and in sight.
function reach(r, c) {
  const box = $("fleetbox");
  if (r > 1 && !fleetItem(r, c)) box.scrollTop = (r - 2) * ROW - box.clientHeight / 2;
  renderWindow();
  return fleetItem(r, c);
}
function stopAt(r, c) {
  document.querySelectorAll("#fleettable [tabindex='0']").forEach((e) => { e.tabIndex = -1; });
  state.fleet.at = [r, c];
  (fleetItem(r, c) || fleetItem(0, c)).tabIndex = 0;  // a heading stands in for a row out of the page
}

function sortFleet(i) {
  const f = state.fleet, c = [...FIXED, ...f.columns][i];
  f.sort = { column: c, dir: f.sort && f.sort.column === c ? -f.sort.dir : 1 };
  renderRows();
}

function openDevice(r) {
  const d = state.fleet.shown[r - 2];
  if (!d) return;
  const record = openBytes(d.file, d.bytes);
  $("drop").scrollIntoView();
  (record ? $("map").querySelector("[tabindex='0']") : $("editor")).focus();
}

// The rows on show as CSV, the library's header and lines.
function fleetCsv() {
  const f = state.fleet, fields = f.columns.join(",");
  const head = text(callNamed((_, __, at) => state.core._WebCsvHeader(at), [fields], new Uint8Array()).bytes);
  return head + f.shown.map((d) => row(d.bytes, d.file, fields, 1)).join("");
}

// Files in dropped folders, walked; names from the top of the drop. Hidden
// files and folders (.git) are left out.
async function droppedFiles(entries) {
  const files = [];
  const walk = async (entry) => {
    if (entry.name.startsWith(".")) return;
    if (entry.isFile) files.push({ name: entry.fullPath.slice(1), file: await new Promise((ok, no) => entry.file(ok, no)) });
    if (!entry.isDirectory) return;
    const reader = entry.createReader();
    for (let batch; (batch = await new Promise((ok, no) => reader.readEntries(ok, no))).length;) {
      for (const e of batch) await walk(e);
    }
  };
  for (const e of entries) await walk(e);
  return files;
}

function wireFleet() {
  const table = $("fleettable"), f = state.fleet;
  const given = (list) => openFleet([...list].filter((x) => !/(^|\/)\./.test(x.webkitRelativePath || x.name))
    .map((x) => ({ name: x.webkitRelativePath || x.name, file: x })));
  for (const [button, input] of [["fleetbutton", "fleetfiles"], ["folderbutton", "fleetfolder"]]) {
    $(button).addEventListener("click", () => $(input).click());
    $(input).addEventListener("change", (e) => { given(e.target.files); e.target.value = ""; });
  }
  $("csv").addEventListener("click", () => save(fleetCsv(), "fleet.csv", "text/csv"));
  const place = (e) => {
    const cell = e.target.closest("td, th"), tr = cell && cell.parentNode;
    if (!cell || (tr.parentNode.tagName === "TBODY" && !tr.dataset.i)) return null;
    return [tr.dataset.i ? Number(tr.dataset.i) + 2 : tr.rowIndex, cell.cellIndex];
  };
  $("fleetbox").addEventListener("scroll", renderWindow);
  table.addEventListener("focusin", (e) => { if (place(e)) stopAt(...place(e)); });
  table.addEventListener("click", (e) => {
    const [r, c] = place(e) || [1];
    if (r === 0) sortFleet(c);
    else if (r > 1) openDevice(r);
  });
  table.addEventListener("keydown", (e) => {
    const [r, c] = f.at, columns = FIXED.length + f.columns.length;
    if (e.target.tagName === "INPUT" && !/^Arrow(Up|Down)$/.test(e.key)) return;  // typing a filter
    if (e.key === "Enter") {
      e.preventDefault();
      if (r === 0) { sortFleet(c); fleetItem(0, c).focus(); } else openDevice(r);
      return;
    }
    const to = step(e.key, r * columns + c, (2 + f.shown.length) * columns, columns, e.ctrlKey);
    if (to === undefined) return;
    e.preventDefault();
    reach(Math.floor(to / columns), to % columns).focus();
  });
}

function wireStart() {
  const menu = $("start");
  const choices = [{ label: "A new text", name: "untitled.txt", text: NEW_TEXT, fresh: true },
    ...state.examples.map((x) => ({ label: x.name, name: x.name, text: x.text,
      about: (x.text.match(/^# Device capability: (.*)/) || [])[1] }))];
  $("startlist").replaceChildren(...choices.map((c) => {
    const b = document.createElement("button");
    b.type = "button";
    b.textContent = c.label;
    if (c.about) b.insertAdjacentHTML("beforeend", `<span class="about"></span>`);
    if (c.about) b.lastChild.textContent = c.about;
    b.addEventListener("click", () => {
      menu.open = false;
      setText(c.text, c.name, null, c.fresh);
      $("editor").focus();
    });
    return b;
  }));
  // A menu's keys: Down and Up move from item to item, round, Home and End go
  // to the ends; on the closed menu, Down or Up opens it there.
  menu.addEventListener("keydown", (e) => {
    if (e.key === "Escape" && menu.open) { menu.open = false; menu.querySelector("summary").focus(); }
    const items = [...$("startlist").children], n = items.length;
    const at = items.indexOf(document.activeElement);
    const to = { ArrowDown: at + 1, ArrowUp: (at < 0 ? n : at) - 1, Home: 0, End: n - 1 }[e.key];
    if (to === undefined || (!menu.open && !/^Arrow/.test(e.key))) return;
    e.preventDefault();
    menu.open = true;
    items[(to + n) % n].focus();
  });
  document.addEventListener("click", (e) => { if (!menu.contains(e.target)) menu.open = false; });
}

function flush() {
  if (state.pending) update();
}
function wire() {
  const ed = $("editor");
  ed.addEventListener("input", () => {
    state.raw = null;
    state.fresh = false;
    clearTimeout(state.pending);
    state.pending = setTimeout(update, 60);
    if (!state.editing) suggest(false);
  });
  ed.addEventListener("scroll", () => {
    state.view = [ed.scrollTop, ed.scrollLeft];
    syncGutter();
  });
  // Chrome scrolls a textarea to its caret as it takes the focus, before the
  // focus event: Tab would throw the reader off the lines they were reading.
  ed.addEventListener("focus", () => {
    if (!state.reveal) [ed.scrollTop, ed.scrollLeft] = state.view;
    state.reveal = false;
  });
  new ResizeObserver(fitGutter).observe(ed);
  ed.addEventListener("blur", () => setTimeout(hideSuggestions, 100));
  ed.addEventListener("keydown", (e) => {
    if (e.key === " " && e.ctrlKey) { e.preventDefault(); suggest(true); return; }
    if ($("suggest").hidden) return;
    const n = state.suggestions.length;
    if (e.key === "ArrowDown") { e.preventDefault(); state.chosen = (state.chosen + 1) % n; mark(); }
    else if (e.key === "ArrowUp") { e.preventDefault(); state.chosen = (state.chosen + n - 1) % n; mark(); }
    else if (e.key === "Enter" || e.key === "Tab") { e.preventDefault(); accept(); }
    else if (e.key === "Escape") { e.preventDefault(); hideSuggestions(); }
  });
  const picker = (button, input, then) => {
    $(button).addEventListener("click", () => $(input).click());
    $(input).addEventListener("change", (e) => { if (e.target.files[0]) then(e.target.files[0]); e.target.value = ""; });
  };
  picker("openbutton", "open", openFile);
  $("fixall").addEventListener("click", fixAll);
  picker("comparebutton", "comparefile", compareWith);
  $("uncompare").addEventListener("click", () => { compareWith(null); $("comparebutton").focus(); });
  $("download").addEventListener("click", download);
  $("totext").addEventListener("click", () => {
    setText(state.shown.rebuilt, state.shown.name.replace(/\.bin$/i, "") + ".txt");
    $("editor").focus();
  });
  // A file dropped on the compare panel is compared; on the fleet, or more
  // than one, or a folder, go into the fleet table; else it is opened.
  const target = (e) => e.target.closest("#compare, #fleet") || $("drop");
  const undrag = () => document.querySelectorAll(".dragging").forEach((el) => el.classList.remove("dragging"));
  document.body.addEventListener("dragover", (e) => { e.preventDefault(); undrag(); target(e).classList.add("dragging"); });
  document.body.addEventListener("dragleave", undrag);
  document.body.addEventListener("drop", (e) => {
    e.preventDefault();
    undrag();
    const files = [...e.dataTransfer.files], on = target(e).id;
    const entries = [...e.dataTransfer.items].map((item) => item.webkitGetAsEntry && item.webkitGetAsEntry());
    if (on === "fleet" || files.length > 1 || entries.some((x) => x && x.isDirectory)) {
      if (entries.every(Boolean)) droppedFiles(entries).then(openFleet);
      else openFleet(files.map((x) => ({ name: x.name, file: x })));
    } else if (files[0]) (on === "compare" ? compareWith : openFile)(files[0]);
  });
  narrow.addEventListener("change", renderMap);
  wireMap();
  wireFleet();
  wireStart();
}

// Ready once the core is; tests wait for document.body.dataset.ready.
DevCapModule().then((core) => {
  state.core = core;
  state.entries = JSON.parse(text(call(() => core._WebTables(), new Uint8Array()).bytes));
  state.examples = JSON.parse($("examples").textContent);
  wire();
  $("fields").open = !narrow.matches;  // on a phone the legend starts folded
  const first = state.examples.find((x) => x.name === "ipcam.txt") || state.examples[0];
  if (first) setText(first.text, first.name);
  else setText(NEW_TEXT, "untitled.txt", null, true);
  document.body.dataset.ready = "1";
});
