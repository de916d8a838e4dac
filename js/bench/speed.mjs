// Speed of the WebAssembly context through the JavaScript API, in both forms of the library
// (with WebAssembly SIMD, the one engines that have it load, and the portable one), against the
// native library of the same tree, in one run: seconds of audio per CPU second at every rate
// with 10 and 20 ms frames, on the same ten minutes of audio (the native side makes it),
// reading the utterance after every push as a host does; each figure the median of the passes,
// after one warm-up. The count of utterance ends seen must be the native one.
//
// Usage: node speed.mjs <native_speed program> <package folder> <work folder> [passes]
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [native, packageFolder, work, passesText = '5'] = process.argv.slice(2);
const passes = Number(passesText);
const { Tessel } = await import(pathToFileURL(join(packageFolder, 'tessel.mjs')).href);
const forms = { simd: await Tessel.load({ simd: true }), portable: await Tessel.load({ simd: false }) };
if (!forms.simd.simd) throw new Error('this engine has no WebAssembly SIMD');
const SECONDS = 600;

// The smallest valid frame size of at least 10 ms and the largest of at most 20 ms.
function frameSizes(rate) {
  const ten = Math.trunc(rate / 100);
  const twenty = Math.trunc(rate / 50);
  return [ten + (ten % 2), twenty - (twenty % 2)];
}

function stream(tessel, samples, rate, frameSize) {
  const context = tessel.stream(rate, frameSize);
  let lastEnd = -1;
  let ends = 0;
  for (let at = 0; at + frameSize <= samples.length; at += frameSize) {
    context.push(samples.subarray(at, at + frameSize));
    const { end } = context.utterance();
    if (end !== lastEnd) ends += 1;
    lastEnd = end;
  }
  context.close();
  return ends;
}

function cpuSeconds() {
  const { user, system } = process.cpuUsage();
  return (user + system) / 1e6;
}

function median(values) {
  return [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
}

const rows = [];
for (const rate of [8000, 11025, 16000, 22050, 44100, 48000]) {
  for (const [milliseconds, frameSize] of [10, 20].map((ms, i) => [ms, frameSizes(rate)[i]])) {
    const audio = join(work, `audio-${rate}.s16`);
    const [nativeSpeed, nativeEnds] = execFileSync(native, [rate, frameSize, passes, audio]
      .map(String), { encoding: 'utf8' }).trim().split(' ').map(Number);
    const bytes = readFileSync(audio);
    const samples = new Int16Array(bytes.buffer, bytes.byteOffset, bytes.length / 2);
    const row = { rate, milliseconds, frameSize, nativeSpeed };
    for (const [form, tessel] of Object.entries(forms)) {
      let ends = stream(tessel, samples, rate, frameSize);
      const speeds = [];
      for (let pass = 0; pass < passes; pass += 1) {
        const start = cpuSeconds();
        ends = stream(tessel, samples, rate, frameSize);
        speeds.push(SECONDS / (cpuSeconds() - start));
      }
      if (ends !== nativeEnds) throw new Error(`${form}, ${rate} Hz: ${ends} ends, ${nativeEnds} natively`);
      row[form] = median(speeds);
    }
    rows.push(row);
  }
}

const columns = ['rate (Hz)', 'frame', 'native', 'SIMD', 'SIMD/native', 'portable', 'portable/native'];
const table = rows.map((row) => [String(row.rate), `${row.milliseconds} ms (${row.frameSize})`,
  row.nativeSpeed.toFixed(0), row.simd.toFixed(0), (row.simd / row.nativeSpeed).toFixed(2),
  row.portable.toFixed(0), (row.portable / row.nativeSpeed).toFixed(2)]);
const widths = columns.map((column, i) => Math.max(column.length, ...table.map((cells) => cells[i].length)));
console.log('seconds of audio per CPU second, and the ratios to native');
for (const cells of [columns, ...table]) {
  console.log(cells.map((cell, i) => cell.padStart(widths[i])).join('  '));
}
const worst = rows.reduce((a, b) => (a.simd / a.nativeSpeed < b.simd / b.nativeSpeed ? a : b));
console.log(`lowest SIMD/native: ${(worst.simd / worst.nativeSpeed).toFixed(2)} at ${worst.rate} Hz, ` +
  `${worst.milliseconds} ms frames`);
