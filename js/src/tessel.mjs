// The Tessel library in WebAssembly: end-point detection and SNR estimation for 16-bit speech
// recordings, in Node and in browsers. The rules and words are those of tessel.h.

const VERSION = '@PROJECT_VERSION@';
const RATES = [8000, 11025, 16000, 22050, 44100, 48000];
const RATE_WORDS = '8000, 11025, 16000, 22050, 44100 and 48000';
const INT32_MIN = -2147483648;
const INT32_MAX = 2147483647;

function requireInteger(value, name) {
  if (typeof value !== 'number' || !Number.isInteger(value)) {
    throw new TypeError(`${name} must be an integer, not ${describe(value)}`);
  }
  if (value < INT32_MIN || value > INT32_MAX) {
    throw new RangeError(`${name} ${value} does not fit in 32 bits`);
  }
  return value;
}

function requireSamples(samples, name) {
  if (!(samples instanceof Int16Array)) {
    throw new TypeError(`${name} must be an Int16Array of signed 16-bit samples, not ${describe(samples)}`);
  }
  return samples;
}

function describe(value) {
  if (value === null) return 'null';
  if (typeof value === 'object') return value.constructor ? value.constructor.name : 'an object';
  return typeof value === 'number' ? String(value) : typeof value;
}

// tessel.h's rule for Tessel_Init's arguments; null when they are valid, else why not.
function initRefusal(rate, frameSize) {
  if (!RATES.includes(rate)) {
    return `sampleRate ${rate} is not supported: valid values are ${RATE_WORDS}`;
  }
  const shortest = Math.trunc(rate / 100);
  const longest = Math.trunc(rate / 50);
  if (frameSize % 2 !== 0 || frameSize < shortest || frameSize > longest) {
    return `frameSize ${frameSize} at ${rate} Hz must be an even number from sampleRate / 100 ` +
      `to sampleRate / 50 (${shortest} to ${longest}; 10 to 20 ms)`;
  }
  let at8k = Math.trunc((frameSize * 8000) / rate);
  at8k += at8k % 2;
  if (at8k % 4 !== 0) {
    return `frameSize ${frameSize} at ${rate} Hz is refused: its length at 8000 Hz, ` +
      `frameSize * 8000 / sampleRate truncated and raised to even (${at8k}), must be a multiple of 4`;
  }
  return null;
}

// The smallest module with a SIMD instruction (i8x16.splat): engines without WebAssembly SIMD
// refuse it, and get the portable form of the library.
const SIMD_PROBE = new Uint8Array([
  0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 8, 1, 6, 0, 65, 0, 253, 15, 11,
]);

// Node reads the module's bytes from beside this file; browsers fetch them from there.
async function loadCore(warn, simd) {
  const { default: createTesselCore } = await (simd ? import('./tessel-core.mjs')
    : import('./tessel-core-portable.mjs'));
  const wasmUrl = simd ? new URL('./tessel-core.wasm', import.meta.url)
    : new URL('./tessel-core-portable.wasm', import.meta.url);
  const settings = { printErr: warn, print: warn };
  if (typeof process === 'object' && process.versions && process.versions.node) {
    const { readFile } = await import('node:fs/promises');
    return createTesselCore({ ...settings, wasmBinary: await readFile(wasmUrl) });
  }
  return createTesselCore({ ...settings, locateFile: () => wasmUrl.href });
}

// One live end-point detection context. Frees its memory on close(); a stream that is dropped
// without close() is freed when it is collected.
class Stream {
  #core;
  #held;
  #frameSize;
  #registry;

  constructor(core, registry, rate, frameSize) {
    this.#core = core;
    this.#registry = registry;
    this.#frameSize = frameSize;
    this.rate = rate;
    this.frameSize = frameSize;
    // One block per stream: the begin and end read back, then one frame of samples.
    const block = core._malloc(8 + 2 * frameSize);
    if (block === 0) throw new Error('Tessel: out of memory for a stream');
    const context = core._Tessel_Init(rate, frameSize);
    if (context === 0) {
      core._free(block);
      throw new Error('Tessel_Init failed: out of memory for a context');
    }
    this.#held = { context, block };
    registry.register(this, this.#held, this);
  }

  #live() {
    if (this.#held === null) throw new Error('the stream is closed');
    return this.#held;
  }

  // Pushes exactly frameSize samples; true once an utterance end is known, and on every later
  // push until reset().
  push(samples) {
    const { context, block } = this.#live();
    requireSamples(samples, 'samples');
    if (samples.length !== this.#frameSize) {
      throw new RangeError(
        `samples holds ${samples.length} samples: exactly frameSize (${this.#frameSize}) are consumed by every push`);
    }
    this.#core.HEAP16.set(samples, (block + 8) >> 1);
    return this.#core._Tessel_AddSample(context, block + 8) === 1;
  }

  // The current utterance in input samples since the stream began or was last reset; -1 while
  // unknown.
  utterance() {
    const { context, block } = this.#live();
    this.#core._Tessel_GetUttrEPD(context, block, block + 4);
    const heap = this.#core.HEAP32;
    return { begin: heap[block >> 2], end: heap[(block >> 2) + 1] };
  }

  // The detector's minimum energy threshold (156 to start; any 32-bit value is accepted).
  setThreshold(vadThreshold) {
    const { context } = this.#live();
    this.#core._Tessel_SetVADThreshold(context, requireInteger(vadThreshold, 'vadThreshold'));
  }

  // Forgets the utterance; positions count again from the next push. The threshold stays.
  reset() {
    this.#core._Tessel_Reset(this.#live().context);
  }

  // Frees the context. Calling it again does nothing; any other call afterwards throws.
  close() {
    if (this.#held === null) return;
    this.#registry.unregister(this);
    release(this.#core, this.#held);
    this.#held = null;
  }
}

function release(core, held) {
  core._Tessel_Release(held.context);
  core._free(held.block);
}

class Tessel {
  #core;
  #registry;

  constructor(core, simd) {
    this.#core = core;
    this.simd = simd;
    this.#registry = new FinalizationRegistry((held) => release(core, held));
    this.version = VERSION;
    const banner = core._Tessel_VerInfo();
    const bytes = core.HEAPU8;
    let end = banner;
    while (bytes[end] !== 0) end += 1;
    this.banner = new TextDecoder().decode(bytes.subarray(banner, end));
  }

  // Loads the module; every load gives an instance with its own memory. warn receives each
  // line the library writes to stderr (the SNR estimate's quantiser may warn). The library
  // uses WebAssembly SIMD where the engine has it, unless simd is false; both forms give the
  // same results, bit for bit.
  static async load({ warn = (line) => console.warn(line), simd = true } = {}) {
    if (typeof warn !== 'function') throw new TypeError('warn must be a function');
    if (typeof simd !== 'boolean') throw new TypeError('simd must be true or false');
    const useSimd = simd && WebAssembly.validate(SIMD_PROBE);
    return new Tessel(await loadCore(warn, useSimd), useSimd);
  }

  stream(sampleRate, frameSize) {
    requireInteger(sampleRate, 'sampleRate');
    requireInteger(frameSize, 'frameSize');
    const refusal = initRefusal(sampleRate, frameSize);
    if (refusal !== null) throw new RangeError(refusal);
    return new Stream(this.#core, this.#registry, sampleRate, frameSize);
  }

  // The speech span (samples) and the signal-to-noise ratio (dB, a single-precision value) of a
  // whole recording at any rate. A recording of 256 samples or fewer gives 0, 0 and 0 dB.
  snr(samples) {
    requireSamples(samples, 'samples');
    const core = this.#core;
    const block = core._malloc(12 + 2 * samples.length);
    if (block === 0) throw new Error('Tessel: out of memory for the recording');
    try {
      core.HEAP16.set(samples, (block + 12) >> 1);
      const status = core._Tessel_GetSNR(block, block + 12, samples.length, block, block + 4,
        block + 8);
      if (status !== 0) throw new Error(`Tessel_GetSNR failed with status ${status}`);
      return {
        spanBegin: core.HEAP32[block >> 2],
        spanEnd: core.HEAP32[(block >> 2) + 1],
        db: core.HEAPF32[(block >> 2) + 2],
      };
    } finally {
      core._free(block);
    }
  }
}

export { Tessel, RATES };
export default Tessel;
