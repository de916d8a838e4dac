// What the suites share: the built package's API, the golden files and the recordings that
// write_recordings put beside the build (the ctest run says where, in the environment).
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

function required(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the suites through ctest --preset wasm`);
  return value;
}

export async function loadApi() {
  const folder = required('TESSEL_JS_PACKAGE');
  return import(pathToFileURL(join(folder, 'tessel.mjs')).href);
}

export async function loadCore() {
  const folder = required('TESSEL_JS_PACKAGE');
  const { default: createTesselCore } = await import(pathToFileURL(join(folder, 'tessel-core.mjs')).href);
  return createTesselCore({ wasmBinary: readFileSync(join(folder, 'tessel-core.wasm')) });
}

// name -> fields, as tests/golden/golden_file.cpp reads the files.
export function readGolden(file) {
  const cases = new Map();
  for (const line of readFileSync(join(required('TESSEL_GOLDEN_DIR'), file), 'utf8').split('\n')) {
    if (line === '' || line.startsWith('#')) continue;
    const [name, ...fields] = line.split(/\s+/).filter((field) => field !== '');
    cases.set(name, fields);
  }
  return cases;
}

// The lines of one of write_recordings' indexes, split into words.
export function readIndex(file) {
  return readFileSync(join(required('TESSEL_RECORDINGS'), file), 'utf8')
    .split('\n')
    .filter((line) => line !== '')
    .map((line) => line.split(' '));
}

export function readRecording(name) {
  const bytes = readFileSync(join(required('TESSEL_RECORDINGS'), `${name}.s16`));
  const samples = new Int16Array(bytes.length / 2);
  for (let i = 0; i < samples.length; i += 1) samples[i] = bytes.readInt16LE(2 * i);
  return samples;
}

// 64-bit FNV-1a over the four little-endian bytes of each 32-bit value, as
// tests/golden/stream_golden.h hashes, in two 32-bit halves.
export class Fnv1a {
  hi = 0xcbf29ce4;
  lo = 0x84222325;

  add(value) {
    const bits = value >>> 0;
    for (let shift = 0; shift < 32; shift += 8) {
      const lo = (this.lo ^ ((bits >>> shift) & 0xff)) >>> 0;
      // (hi, lo) * (2^40 + 0x1b3) modulo 2^64; every partial sum stays below 2^53.
      const low = lo * 0x1b3;
      const carry = Math.floor(low / 0x100000000);
      this.lo = low >>> 0;
      this.hi = (this.hi * 0x1b3 + carry + ((lo << 8) >>> 0)) % 0x100000000;
    }
    return this;
  }

  hex() {
    return this.hi.toString(16).padStart(8, '0') + this.lo.toString(16).padStart(8, '0');
  }
}

export function floatBits(value) {
  const view = new DataView(new ArrayBuffer(4));
  view.setFloat32(0, value);
  return `0x${view.getUint32(0).toString(16).padStart(8, '0')}`;
}
