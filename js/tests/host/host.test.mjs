// A host as a user of the npm package writes one: a WAV file read with Node, pushed 20 ms at
// a time, and its SNR.
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { test } from 'node:test';

import Tessel from 'tessel';

// The 16-bit samples of a PCM WAV file's data chunk.
async function readWav(path) {
  const bytes = await readFile(path);
  let at = 12;
  while (bytes.toString('ascii', at, at + 4) !== 'data') at += 8 + bytes.readUInt32LE(at + 4);
  const data = bytes.subarray(at + 8, at + 8 + bytes.readUInt32LE(at + 4));
  return new Int16Array(data.buffer.slice(data.byteOffset, data.byteOffset + data.length));
}

const tessel = await Tessel.load();
const speech = await readWav('speech-16k.wav');

test('the utterances of a recording, frame by frame', () => {
  const stream = tessel.stream(16000, 320);
  const found = [];
  let lastEnd = -1;
  for (let at = 0; at + 320 <= speech.length; at += 320) {
    stream.push(speech.subarray(at, at + 320));
    const { begin, end } = stream.utterance();
    if (end !== lastEnd && end >= 0) found.push([begin, end]);
    lastEnd = end;
  }
  stream.close();
  assert.deepEqual(found, [[7360, 43520], [55360, 101120]]);
});

test('the SNR of the whole recording', () => {
  const { spanBegin, spanEnd, db } = tessel.snr(speech);
  assert.ok(spanBegin > 0 && spanBegin < spanEnd && spanEnd < speech.length, `speech from ${spanBegin} to ${spanEnd}`);
  assert.ok(db > 10 && db < 60, `${db} dB`);
});

test('the version and a refused frame size', () => {
  assert.match(tessel.version, /^\d+\.\d+\.\d+$/);
  assert.throws(() => tessel.stream(16000, 330), RangeError);
});
