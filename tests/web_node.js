// The page's own conversion entry point under Node against devcap2bin, text by
// text: the examples, the fuzz corpus when there is one, and generated texts
// (near-misses, hostile bytes, long lines). Messages and bytes must agree.
// usage: node web_node.js devcapweb.js devcap2bin examples-dir [corpus-dir]
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const { spawnSync } = require("child_process");

const [moduleFile, devcap2bin, examples, corpus] = process.argv.slice(2).map((a) => path.resolve(a));
if (!fs.existsSync(devcap2bin)) {
  console.error(`no native devcap2bin at ${devcap2bin}: build the default preset first`);
  process.exit(1);
}

function texts() {
  const out = [];
  const add = (dir) => {
    if (!dir || !fs.existsSync(dir)) return;
    for (const f of fs.readdirSync(dir).sort()) out.push(fs.readFileSync(path.join(dir, f)));
  };
  add(examples);
  add(corpus);
  // Generated: each example with lines dropped, changed, doubled, or hostile ones added.
  let seed = 20261206;
  const rand = (n) => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; };
  const base = out.slice(0, 3).map((b) => b.toString("latin1").split("\n"));
  const pieces = ["SENSOR_ID='MT9P031 '", "FWCAP_DIS='two'", "DN_SRC='DSP, CDS'", "MD_SRC='ENCODER,PIR'",
    "X".repeat(170) + "MD_SRC='ENCODER'", "CAMERA_FNUM='F8'", "FWCAP_HEAD_VER='0x0'", "EOF=''", "=''",
    "ZOOM_CAP='OPTICAL'", "\u00ef\u00bb\u00bfSENSOR_ID='OV9715'", "FWCAP_MISC_IO='PIRIS'", "N\u0000='1'",
    "CDS_DAY2NIGHT_THD='101'", "A".repeat(40) + "='x'", "DN_SRC_DEFAULT='DSP'", "STORAGE_IF='USB_TO_SATA'"];
  for (let i = 0; i < 400; i++) {
    const lines = [...base[i % base.length]];
    for (let k = rand(5); k > 0; k--) {
      const at = rand(lines.length + 1);
      if (rand(3) === 0) lines.splice(at, 1);
      else lines.splice(at, 0, pieces[rand(pieces.length)]);
    }
    out.push(Buffer.from(lines.join(rand(4) === 0 ? "\r\n" : "\n"), "latin1"));
  }
  return out;
}

require(path.resolve(moduleFile))().then((core) => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "devcap-web-"));
  fs.mkdirSync(path.join(work, "BinFiles"));
  const all = texts();
  let differ = 0, converted = 0;
  all.forEach((bytes, i) => {
    const input = core._WebInput();
    core.HEAPU8.set(bytes, input);
    const reply = core._WebConvert(input, bytes.length) >>> 0;
    const view = new DataView(core.HEAPU8.buffer);
    const written = view.getUint32(reply, true) === 0;
    const reply_bytes = Buffer.from(core.HEAPU8.slice(reply + 8, reply + 8 + view.getUint32(reply + 4, true)));
    const record = reply_bytes.subarray(0, 120), messages = reply_bytes.subarray(120);

    const file = path.join(work, `t${i}.txt`);
    fs.writeFileSync(file, bytes);
    const run = spawnSync(devcap2bin, [file], { cwd: work });
    const report = Buffer.from(`\nDevCapOtuputBinFile: output binary file to BinFiles/t${i}.bin\n\n`);
    const out = run.status === 0 && run.stdout.subarray(-report.length).equals(report)
      ? run.stdout.subarray(0, run.stdout.length - report.length) : run.stdout;
    const bin = path.join(work, "BinFiles", `t${i}.bin`);
    let same = (run.status === 0) === written && out.equals(messages);
    if (written) {
      converted++;
      same = same && fs.existsSync(bin) && fs.readFileSync(bin).equals(record);
    }
    if (!same) {
      differ++;
      if (differ <= 3) console.log(`differs: t${i}.txt\n page: ${messages.subarray(0, 400)}\n devcap2bin: ${String(run.stdout).slice(0, 400)}`);
    }
  });
  fs.rmSync(work, { recursive: true });
  console.log(`${all.length} texts, ${converted} converted; ${all.length - differ} passed, ${differ} failed`);
  process.exit(differ === 0 ? 0 : 1);
});
