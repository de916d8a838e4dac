// Every case of tests/golden/stream.golden and snr.golden through the JavaScript API, bit for
// bit: the same recordings, the same checksums over what a host saw after every push.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Fnv1a, floatBits, loadApi, readGolden, readIndex, readRecording } from './support.mjs';

const { Tessel } = await loadApi();
const simd = process.env.TESSEL_JS_SIMD !== '0';
const tessel = await Tessel.load({ warn: () => {}, simd });

test(`this run checks the ${simd ? 'SIMD' : 'portable'} form`, () => {
  assert.equal(tessel.simd, simd);
});

// The fields of a stream.golden line, measured as stream_golden::Measure does: push every whole
// frame, read the utterance after each push, list each utterance when a new end appears.
function measureStream(samples, rate, frameSize, threshold) {
  const input = new Fnv1a();
  for (const sample of samples) input.add(sample);
  const stream = tessel.stream(rate, frameSize);
  if (threshold !== 156) stream.setThreshold(threshold);
  const seen = new Fnv1a();
  const utterances = [];
  let calls = 0;
  let lastEnd = -1;
  for (let at = 0; at + frameSize <= samples.length; at += frameSize) {
    const ended = stream.push(samples.subarray(at, at + frameSize));
    const { begin, end } = stream.utterance();
    seen.add(ended ? 1 : 0).add(begin).add(end);
    if (end !== lastEnd && end >= 0) utterances.push(`${begin}:${end}`);
    lastEnd = end;
    calls += 1;
  }
  stream.close();
  return [input.hex(), String(samples.length), String(calls), seen.hex(), ...utterances];
}

test('every stream.golden case, bit for bit', () => {
  const golden = readGolden('stream.golden');
  const index = readIndex('stream.index');
  assert.equal(index.length, golden.size, 'write_recordings made every recording of the file');
  for (const [name, rate, frameSize, threshold] of index) {
    const measured = measureStream(readRecording(name), Number(rate), Number(frameSize),
      Number(threshold));
    assert.deepEqual(measured, golden.get(name), name);
  }
});

test('every snr.golden case, bit for bit', () => {
  const golden = readGolden('snr.golden');
  const index = readIndex('snr.index');
  assert.equal(index.length, golden.size, 'write_recordings made every recording of the file');
  for (const [name] of index) {
    const { spanBegin, spanEnd, db } = tessel.snr(readRecording(name));
    assert.deepEqual(['0', String(spanBegin), String(spanEnd), floatBits(db)], golden.get(name),
      name);
  }
});
