// The live detector, off the page's thread: frames from the audio worklet go through one
// stream of the npm package's module; the page hears of each frame's level and of each
// utterance as the stream declares it, and may ask for the samples of one.
import Tessel from './tessel/tessel.mjs';

const KEPT_SECONDS = 120;

let stream = null;
let frames = null;  // the port the worklet's frames arrive on
let kept = null;    // the last KEPT_SECONDS of samples, a ring
let pushed = 0;     // samples pushed since the stream began
let lastBegin = -1;
let lastEnd = -1;

// The command line's rule for turning what the stream reports after every push into
// utterances: one is complete exactly when the end changes, and pairs with the begin known then.
function observe(begin, end) {
  if (begin >= 0 && begin !== lastBegin) {
    postMessage({ type: 'begin', begin });
  }
  if (end >= 0 && end !== lastEnd) {
    postMessage({ type: 'utterance', begin, end });
  }
  lastBegin = begin;
  lastEnd = end;
}

function keep(frame) {
  const at = pushed % kept.length;
  const first = Math.min(frame.length, kept.length - at);
  kept.set(frame.subarray(0, first), at);
  kept.set(frame.subarray(first), 0);
}

function push(frame) {
  stream.push(frame);
  keep(frame);
  pushed += frame.length;
  let low = 0;
  let high = 0;
  for (const sample of frame) {
    if (sample < low) low = sample;
    if (sample > high) high = sample;
  }
  postMessage({ type: 'level', end: pushed, low, high });
  const { begin, end } = stream.utterance();
  observe(begin, end);
}

// Samples begin to end, or the part of them still kept.
function clip(begin, end) {
  const from = Math.max(begin, pushed - kept.length, 0);
  const to = Math.min(end, pushed);
  const samples = new Int16Array(Math.max(0, to - from));
  for (let i = 0; i < samples.length; i += 1) samples[i] = kept[(from + i) % kept.length];
  return samples;
}

function stop() {
  frames?.close();
  stream?.close();
  frames = null;
  stream = null;
}

// Loaded before the page says it is ready, so that it starts without the network.
const tessel = Tessel.load({ warn: (line) => postMessage({ type: 'warning', line }) });
tessel.then(() => postMessage({ type: 'ready' }),
  (error) => postMessage({ type: 'error', message: error.message }));

onmessage = async ({ data }) => {
  try {
    if (data.type === 'start') {
      stop();
      stream = (await tessel).stream(data.rate, data.frameSize);
      stream.setThreshold(data.threshold);
      kept = new Int16Array(KEPT_SECONDS * data.rate);
      pushed = 0;
      lastBegin = -1;
      lastEnd = -1;
      frames = data.port;
      frames.onmessage = ({ data: frame }) => {
        push(frame);
        frames.postMessage(frame, [frame.buffer]);
      };
      postMessage({ type: 'started', simd: (await tessel).simd });
    } else if (data.type === 'stop') {
      stop();
    } else if (data.type === 'threshold' && stream !== null) {
      stream.setThreshold(data.value);
    } else if (data.type === 'clip' && kept !== null) {
      const samples = clip(data.begin, data.end);
      postMessage({ type: 'clip', samples, begin: data.begin }, [samples.buffer]);
    }
  } catch (error) {
    postMessage({ type: 'error', message: error.message });
  }
};
