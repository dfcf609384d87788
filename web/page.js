// The workbench page: an editor for capability text with the linter's
// findings on their lines, the converter's verdict, and the record as a
// coloured byte map. All of it runs the converter core compiled to
// WebAssembly (DevCapModule); nothing leaves the page.
"use strict";

const $ = (id) => document.getElementById(id);
const state = {
  core: null,       // the WebAssembly module
  entries: null,   // every entry with its field and keywords
  examples: [],     // the shipped example texts, {name, text}
  raw: null,        // the bytes of an opened file, until the text is edited
  name: "untitled.txt",
  fresh: false,     // a new text nobody has written in yet: no verdict on it
  record: null,     // the 120 bytes on show
  recordName: "",
  suggestions: [],
  chosen: 0,
};

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

function convert(bytes) {
  const r = call(state.core._WebConvert, bytes);
  return { written: r.status === 0, record: r.bytes.slice(0, 120), messages: text(r.bytes.slice(120)) };
}
const lint = (bytes) => JSON.parse(text(call(state.core._WebLint, bytes).bytes));
function describe(record, name) {
  const m = state.core;
  const nameBytes = new TextEncoder().encode(name + "\0");
  const at = m._WebInput() + 120;
  m.HEAPU8.set(nameBytes, at);
  const r = call((input, size) => m._WebRecord(input, size, at), record);
  if (r.status === 2) return null;
  const nul = r.bytes.indexOf(0);
  return { dump: JSON.parse(text(r.bytes.slice(0, nul))), text: text(r.bytes.slice(nul + 1)) };
}

// The name devcap2bin gives the record of a text file, "BinFiles/<base>.bin",
// asked of the core; null when it would be too long.
function outputName(file) {
  const r = call((input) => state.core._WebOutputName(input), new TextEncoder().encode(file + "\0"));
  return r.status === 0 ? text(r.bytes) : null;
}
const recordName = (file) => (outputName(file) || "BinFiles/untitled.bin").slice("BinFiles/".length);

function say(message, kind) {
  $("status").textContent = message;
  $("status").className = kind || "";
}

// ---- the text side ----
function currentBytes() { return state.raw || new TextEncoder().encode($("editor").value); }

function setText(value, name, raw, fresh) {
  $("editor").value = value;
  state.raw = raw || null;
  state.name = name;
  state.fresh = Boolean(fresh);
  $("filename").textContent = name;
  update();
}

function update() {
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
  $("download").disabled = !result.written;
  state.download = result.written ? result.record : null;
  showRecord(result.record, recordName(state.name), false);
}

function showFindings(findings) {
  const lines = $("editor").value.split("\n").length;
  const worst = new Map();
  for (const f of findings) {
    if (worst.get(f.line) !== "error") worst.set(f.line, f.severity);
  }
  const numbers = [];
  for (let n = 1; n <= lines; n++) {
    const div = document.createElement("div");
    div.id = "ln-" + n;
    div.textContent = n;
    if (worst.has(n)) {
      div.className = worst.get(n);
      div.title = findings.filter((f) => f.line === n).map((f) => `${f.severity}: ${f.message} [${f.rule}]`).join("\n");
    }
    numbers.push(div);
  }
  $("lines").replaceChildren(...numbers);
  const list = $("findings");
  list.replaceChildren(...findings.map((f) => {
    const li = document.createElement("li");
    li.className = f.severity;
    li.dataset.line = f.line;
    li.innerHTML = `<button type="button" class="at"></button> ${f.severity}: <span class="msg"></span>
      <span class="rule">[${f.rule}]</span>`;
    li.querySelector(".at").textContent = `${f.line}:${f.column}`;
    li.querySelector(".at").setAttribute("aria-label", `Go to line ${f.line}, column ${f.column}`);
    li.querySelector(".msg").textContent = f.message;
    li.addEventListener("click", (e) => { if (!e.target.closest(".fix")) goTo(f.line, f.column); });
    if (f.fix) {
      const fix = document.createElement("button");
      fix.type = "button";
      fix.className = "fix";
      fix.textContent = "Fix";
      fix.setAttribute("aria-label", `Fix line ${f.line}: ${f.message}`);
      fix.addEventListener("click", () => applyFix(f));
      li.append(" ", fix);
    }
    return li;
  }));
  if (findings.length === 0) list.innerHTML = `<li>${state.fresh ? "None yet." : "No findings."}</li>`;
  syncGutter();
}

// The fix's edits go into the bytes the linter read (its columns count
// bytes), the last first so that earlier columns still hold.
function applyFix(finding) {
  let bytes = currentBytes();
  const edits = [...finding.fix].sort((x, y) =>
    y.range.start.line - x.range.start.line || y.range.start.column - x.range.start.column);
  for (const e of edits) {
    let start = 0;  // of the edit's line
    for (let n = 1; n < e.range.start.line && start >= 0; n++) {
      const end = bytes.indexOf(10, start);
      start = end < 0 ? -1 : end + 1;
    }
    if (start < 0) continue;
    const fixed = encode(e.text);
    const from = start + e.range.start.column - 1, to = start + e.range.end.column - 1;
    const out = new Uint8Array(bytes.length - (to - from) + fixed.length);
    out.set(bytes.subarray(0, from));
    out.set(fixed, from);
    out.set(bytes.subarray(to), from + fixed.length);
    bytes = out;
  }
  setText(text(bytes), state.name, bytes);
  goTo(finding.line, finding.column);
}

function goTo(line, column) {
  const ed = $("editor");
  const lines = ed.value.split("\n");
  let at = 0;
  for (let i = 0; i < line - 1 && i < lines.length; i++) at += lines[i].length + 1;
  ed.focus();
  ed.setSelectionRange(at + column - 1, at + column - 1);
}

// The numbers move with the text by its own scroll offset: the gutter has no
// scroll range of its own to run short of (the editor's horizontal scroll bar
// adds to the editor's).
function syncGutter() { $("lines").style.transform = `translateY(${-$("editor").scrollTop}px)`; }

// ---- suggestions: entry names, and inside the quotes the entry's keywords ----
function context() {
  const ed = $("editor");
  const before = ed.value.slice(0, ed.selectionStart);
  const line = before.slice(before.lastIndexOf("\n") + 1);
  const eq = line.indexOf("=");
  if (line.startsWith("#")) return null;
  if (eq < 0) return { kind: "name", prefix: line, held: [] };
  const entry = state.entries.find((e) => e.name.toUpperCase() === line.slice(0, eq).toUpperCase());
  if (!entry || entry.keywords.length === 0 || line[eq + 1] !== "'") return null;
  const value = line.slice(eq + 2);
  if (value.includes("'")) return null;
  if (entry.kind !== "list") return { kind: "keyword", prefix: value, entry, held: [] };
  // A list offers only what it does not hold yet, before or after the cursor.
  const after = ed.value.slice(ed.selectionStart).split(/['\n]/)[0];
  const cut = value.lastIndexOf(",") + 1;
  const held = (value.slice(0, cut) + after.slice(after.indexOf(",") + 1 || after.length)).split(",");
  return { kind: "keyword", prefix: value.slice(cut), entry, held: held.map((w) => w.trim().toUpperCase()) };
}

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
  mark();
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
  const insert = s.text + tail;
  ed.setRangeText(insert, at - s.prefix.length, at, "end");
  hideSuggestions();
  state.raw = null;
  state.fresh = false;
  update();
}

// ---- the record side ----
function showRecord(record, name, dropped) {
  state.record = record;
  state.recordName = name;
  $("recordname").textContent = name;
  const d = describe(record, name);
  const map = $("map");
  map.replaceChildren();
  const legend = $("legend");
  legend.replaceChildren();
  const cells = [];
  for (let row = 0; row < 8; row++) {
    const off = document.createElement("div");
    off.className = "off";
    off.textContent = "0x" + (row * 16).toString(16).padStart(2, "0");
    map.append(off);
    for (let col = 0; col < 16; col++) {
      const at = row * 16 + col;
      const cell = document.createElement("div");
      if (at < 120) {
        cell.className = "byte";
        cell.textContent = record[at].toString(16).padStart(2, "0").toUpperCase();
        cell.dataset.offset = at;
      }
      map.append(cell);
      cells.push(cell);
    }
  }
  d.dump.fields.forEach((f, i) => {
    const hue = (i * 47) % 360;
    const unknown = !f.reproducible;
    for (let b = f.offset; b < f.offset + f.width; b++) {
      const cell = cells[b];
      cell.style.setProperty("--hue", hue);
      cell.dataset.field = i;
      if (b === f.offset) {
        cell.classList.add("start");
        cell.tabIndex = 0;
        cell.setAttribute("aria-label", `${f.path}, offset ${f.offset}, ${f.width} byte${f.width > 1 ? "s" : ""}`);
      }
      if (unknown) cell.classList.add("unknown");
      cell.title = f.path;
      cell.addEventListener("mouseenter", () => detail(d.dump.fields, i));
      cell.addEventListener("focus", () => detail(d.dump.fields, i));
    }
    const li = document.createElement("li");
    const b = document.createElement("button");
    b.type = "button";
    b.innerHTML = `<span class="swatch"></span>`;
    b.append(f.path);
    b.style.setProperty("--hue", hue);
    if (unknown) b.classList.add("unknown");
    b.dataset.path = f.path;
    b.addEventListener("focus", () => detail(d.dump.fields, i));
    b.addEventListener("mouseenter", () => detail(d.dump.fields, i));
    li.append(b);
    legend.append(li);
  });
  $("recordbox").hidden = !dropped;
  if (dropped) {
    $("checklines").textContent = (d.dump.check.passes ? "passes" : "fails") +
      (d.dump.check.lines.length ? "\n" + d.dump.check.lines.join("\n") : "");
    state.rebuilt = d.text;
  }
}

function detail(fields, i) {
  const f = fields[i];
  document.querySelectorAll("#map .hot").forEach((c) => c.classList.remove("hot"));
  document.querySelectorAll(`#map [data-field="${i}"]`).forEach((c) => c.classList.add("hot"));
  const rows = [
    ["field", f.path], ["offset", `${f.offset} (0x${f.offset.toString(16)})`], ["width", `${f.width} byte${f.width > 1 ? "s" : ""}`],
    ["raw", f.raw], ["value", f.value === null ? "-" : String(f.value)],
    ["means", f.keywords.length ? f.keywords.join(", ") : (f.text !== null ? f.text : "-")],
    ["default", f.default ? "yes" : "no"], ["set by", f.entry || "no entry (fixed)"],
  ];
  if (!f.reproducible) rows.push(["!", "no entry can produce this value"]);
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

// ---- files: open, drop, download ----
async function openFile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (/\.bin$/i.test(file.name) || (bytes.length === 120 && bytes[7] === 0 && text(bytes.slice(0, 7)) === "SCONFIG")) {
    if (bytes.length !== 120) {
      $("status").textContent = `${file.name} is ${bytes.length} bytes, not a 120-byte record`;
      $("status").className = "bad";
      return;
    }
    showRecord(bytes, file.name, true);
    $("status").textContent = `${file.name}: the record, its check and the text that rebuilds it`;
    $("status").className = "";
    return;
  }
  setText(text(bytes), file.name, bytes);
}

function download() {
  if (!state.download) return;
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([state.download], { type: "application/octet-stream" }));
  a.download = recordName(state.name);
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
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
  menu.addEventListener("keydown", (e) => {
    if (e.key === "Escape" && menu.open) { menu.open = false; menu.querySelector("summary").focus(); }
  });
  document.addEventListener("click", (e) => { if (!menu.contains(e.target)) menu.open = false; });
}

function wire() {
  const ed = $("editor");
  let timer = 0;
  ed.addEventListener("input", () => {
    state.raw = null;
    state.fresh = false;
    clearTimeout(timer);
    timer = setTimeout(update, 60);
    suggest(false);
  });
  ed.addEventListener("scroll", syncGutter);
  new ResizeObserver(syncGutter).observe(ed);
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
  $("open").addEventListener("change", (e) => { if (e.target.files[0]) openFile(e.target.files[0]); e.target.value = ""; });
  $("download").addEventListener("click", download);
  $("totext").addEventListener("click", () => {
    setText(state.rebuilt, state.recordName.replace(/\.bin$/i, "") + ".txt");
    $("editor").focus();
  });
  const drop = document.body;
  drop.addEventListener("dragover", (e) => { e.preventDefault(); $("drop").classList.add("dragging"); });
  drop.addEventListener("dragleave", () => $("drop").classList.remove("dragging"));
  drop.addEventListener("drop", (e) => {
    e.preventDefault();
    $("drop").classList.remove("dragging");
    if (e.dataTransfer.files[0]) openFile(e.dataTransfer.files[0]);
  });
  wireStart();
}

// Ready once the core is; tests wait for document.body.dataset.ready.
DevCapModule().then((core) => {
  state.core = core;
  state.entries = JSON.parse(text(call(() => core._WebTables(), new Uint8Array()).bytes));
  state.examples = JSON.parse($("examples").textContent);
  wire();
  const first = state.examples.find((x) => x.name === "ipcam.txt") || state.examples[0];
  if (first) setText(first.text, first.name);
  else setText(NEW_TEXT, "untitled.txt", null, true);
  document.body.dataset.ready = "1";
});
