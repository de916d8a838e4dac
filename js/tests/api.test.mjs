// The JavaScript API's own rules: the arguments it takes and refuses (the library decides the
// same), the words of its errors, streams that start again, and memory given back on close()
// and after a forgotten stream is collected.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { setFlagsFromString } from 'node:v8';
import { runInNewContext } from 'node:vm';

import { loadApi, loadCore, readRecording } from './support.mjs';

setFlagsFromString('--expose-gc');
const collectGarbage = runInNewContext('gc');

// The module's memory, caught as it is instantiated: the API keeps its module private.
const memories = [];
const instantiate = WebAssembly.instantiate;
WebAssembly.instantiate = async (...args) => {
  const result = await instantiate(...args);
  const { exports } = result.instance ?? result;
  memories.push(...Object.values(exports).filter((value) => value instanceof WebAssembly.Memory));
  return result;
};
const { Tessel, RATES } = await loadApi();
const tessel = await Tessel.load({ warn: () => {} });
const memory = memories.at(-1);
WebAssembly.instantiate = instantiate;

test('a stream is made exactly where Tessel_Init makes a context, else RangeError says why', async () => {
  const core = await loadCore();
  for (const rate of [...RATES, 7999, 12000, 32000, 96000]) {
    for (let frameSize = Math.trunc(rate / 100) - 3; frameSize <= Math.trunc(rate / 50) + 3; frameSize += 1) {
      const context = core._Tessel_Init(rate, frameSize);
      core._Tessel_Release(context);
      let made = true;
      try {
        tessel.stream(rate, frameSize).close();
      } catch (error) {
        assert.ok(error instanceof RangeError, `${rate} Hz, ${frameSize}: ${error}`);
        made = false;
      }
      assert.equal(made, context !== 0, `${rate} Hz, frameSize ${frameSize}`);
    }
  }
  assert.throws(() => tessel.stream(12000, 120), {
    name: 'RangeError',
    message: 'sampleRate 12000 is not supported: valid values are 8000, 11025, 16000, 22050, 44100 and 48000',
  });
  assert.throws(() => tessel.stream(16000, 321), {
    name: 'RangeError',
    message: 'frameSize 321 at 16000 Hz must be an even number from sampleRate / 100 to sampleRate / 50 (160 to 320; 10 to 20 ms)',
  });
  assert.throws(() => tessel.stream(48000, 492), {
    name: 'RangeError',
    message: 'frameSize 492 at 48000 Hz is refused: its length at 8000 Hz, frameSize * 8000 / sampleRate truncated and raised to even (82), must be a multiple of 4',
  });
});

test('arguments of the wrong kind throw TypeError, lengths and ranges RangeError', () => {
  assert.throws(() => tessel.stream(16000.5, 320), { name: 'TypeError', message: 'sampleRate must be an integer, not 16000.5' });
  assert.throws(() => tessel.stream('16000', 320), { name: 'TypeError', message: 'sampleRate must be an integer, not string' });
  assert.throws(() => tessel.stream(16000, null), { name: 'TypeError', message: 'frameSize must be an integer, not null' });
  assert.throws(() => tessel.snr([1, 2, 3]), { name: 'TypeError', message: 'samples must be an Int16Array of signed 16-bit samples, not Array' });
  const stream = tessel.stream(8000, 160);
  assert.throws(() => stream.push(new Float32Array(160)), { name: 'TypeError', message: 'samples must be an Int16Array of signed 16-bit samples, not Float32Array' });
  assert.throws(() => stream.push(new Int16Array(159)), {
    name: 'RangeError',
    message: 'samples holds 159 samples: exactly frameSize (160) are consumed by every push',
  });
  assert.throws(() => stream.setThreshold(2 ** 31), { name: 'RangeError', message: 'vadThreshold 2147483648 does not fit in 32 bits' });
  assert.throws(() => stream.setThreshold(1.5), { name: 'TypeError', message: 'vadThreshold must be an integer, not 1.5' });
  stream.close();
  stream.close();
  for (const call of [() => stream.push(new Int16Array(160)), () => stream.utterance(), () => stream.reset(), () => stream.setThreshold(200)]) {
    assert.throws(call, { message: 'the stream is closed' });
  }
});

test('after reset() a stream reads a recording as a fresh one does, the threshold kept', () => {
  const samples = readRecording('noisy_t400_16000_320');
  const run = (stream) => {
    const seen = [];
    for (let at = 0; at + 320 <= samples.length; at += 320) {
      seen.push(stream.push(samples.subarray(at, at + 320)), stream.utterance());
    }
    return seen;
  };
  const fresh = tessel.stream(16000, 320);
  fresh.setThreshold(400);
  const expected = run(fresh);
  fresh.close();
  assert.ok(expected.some((seen) => seen.end > 0), 'the recording has an utterance');
  const again = tessel.stream(16000, 320);
  again.setThreshold(400);
  run(again);
  again.reset();
  assert.deepEqual(again.utterance(), { begin: -1, end: -1 });
  assert.deepEqual(run(again), expected);
  again.close();
});

test('streams give their memory back on close(), and when forgotten, once collected', async () => {
  const grownTo = () => memory.buffer.byteLength;
  // About 6 kB a stream at 48000 Hz: 20000 streams kept would take 120 MB.
  for (let i = 0; i < 20000; i += 1) tessel.stream(48000, 960).close();
  const afterClosing = grownTo();
  assert.ok(afterClosing <= 16 * 2 ** 20, `${afterClosing} bytes after closing every stream`);
  for (let round = 0; round < 20; round += 1) {
    for (let i = 0; i < 1000; i += 1) tessel.stream(48000, 960).push(new Int16Array(960));
    collectGarbage();
    await new Promise((resolve) => setTimeout(resolve, 10));
  }
  const afterForgetting = grownTo();
  assert.ok(afterForgetting <= 64 * 2 ** 20, `${afterForgetting} bytes after forgetting 20000 streams`);
});

test('the version is the package\'s and the banner the library\'s', () => {
  const packageJson = JSON.parse(readFileSync(join(process.env.TESSEL_JS_PACKAGE, 'package.json'), 'utf8'));
  assert.equal(tessel.version, packageJson.version);
  assert.match(tessel.banner, /^Tessel_Lib v1\.0\.0 \(compiled at Sep 15 2017\)\n/);
});
