// The page's thread: the controls, the drawing and the messages. The detector runs in
// live-worker.mjs and the file analysis in file-worker.mjs, never here.
import { encodeWav } from './wav.mjs';

// The command line's default frames of 20 ms, the largest the library takes at each rate.
const FRAME_SIZES = { 44100: 882, 48000: 960 };
const SHOWN_SECONDS = 10;

const $ = (id) => document.getElementById(id);

function say(element, line, isError = false) {
  element.textContent = line;
  element.classList.toggle('error', isError);
}

// A failure nobody caught still ends as one line on the page rather than a blank page.
window.addEventListener('error', (event) => say($('file-message'), `Error: ${event.message}`, true));
window.addEventListener('unhandledrejection', (event) =>
  say($('file-message'), `Error: ${event.reason?.message ?? event.reason}`, true));

function download(name, blob) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

const seconds = (sample, rate) => (sample / rate).toFixed(3);

// ---- Live -------------------------------------------------------------------------------

// Everything the page loads is fetched up front, so that once it says it is ready it works
// without the network: both workers with their modules, and the worklet's code.
const loading = new Set(['live', 'files', 'worklet']);
function loaded(part) {
  loading.delete(part);
  if (loading.size === 0) say($('ready'), 'Ready: everything is loaded; the page works offline from here.');
}
const workletUrl = fetch('capture-processor.js').then((response) => {
  if (!response.ok) throw new Error(`capture-processor.js: HTTP ${response.status}`);
  return response.blob();
}).then((blob) => URL.createObjectURL(blob));
workletUrl.then(() => loaded('worklet'));

const live = {
  rate: 0,
  worker: new Worker('live-worker.mjs', { type: 'module' }),
  context: null,
  media: null,
  levels: [],      // { end, low, high } per frame, the last SHOWN_SECONDS
  pushed: 0,
  openBegin: -1,   // the begin of an utterance not yet ended, -1 when none
  utterances: [],  // { begin, end } as declared
  drawn: false,
};

function listUtterance({ begin, end }) {
  const item = document.createElement('li');
  item.dataset.beginSample = begin;
  item.dataset.endSample = end;
  item.textContent = `${seconds(begin, live.rate)} s to ${seconds(end, live.rate)} s ` +
    `(${seconds(end - begin, live.rate)} s)`;
  $('utterances').append(item);
}

function onWorkerMessage({ data }) {
  switch (data.type) {
    case 'ready':
      loaded('live');
      break;
    case 'started':
      say($('live-message'), `Listening at ${live.rate} Hz, frames of ` +
        `${FRAME_SIZES[live.rate]} samples (${data.simd ? 'SIMD' : 'portable'} module).`);
      break;
    case 'level':
      live.levels.push(data);
      live.pushed = data.end;
      while (live.levels.length && live.levels[0].end < live.pushed - SHOWN_SECONDS * live.rate) {
        live.levels.shift();
      }
      scheduleDraw();
      break;
    case 'begin':
      live.openBegin = data.begin;
      break;
    case 'utterance':
      live.openBegin = -1;
      live.utterances.push({ begin: data.begin, end: data.end });
      listUtterance(data);
      $('save').disabled = false;
      break;
    case 'clip':
      download(`utterance-${live.utterances.length}.wav`,
        new Blob([encodeWav(data.samples, live.rate)], { type: 'audio/wav' }));
      break;
    case 'warning':
      console.warn(data.line);
      break;
    case 'error':
      say($('live-message'), `The detector stopped: ${data.message}`, true);
      break;
  }
}

function scheduleDraw() {
  if (live.drawn) return;
  live.drawn = true;
  requestAnimationFrame(() => {
    live.drawn = false;
    drawWaveform();
  });
}

// The last SHOWN_SECONDS scroll from right to left: each utterance shaded from its begin to
// its end once declared, one still open hatched to now, the frames' peaks over them.
function drawWaveform() {
  const canvas = $('waveform');
  const g = canvas.getContext('2d');
  const { width, height } = canvas;
  const span = SHOWN_SECONDS * live.rate;
  const x = (sample) => width - ((live.pushed - sample) / span) * width;
  g.fillStyle = 'white';
  g.fillRect(0, 0, width, height);
  g.fillStyle = 'rgba(240, 160, 48, 0.30)';
  g.strokeStyle = '#c07010';
  for (const { begin, end } of live.utterances) {
    if (x(end) < 0) continue;
    g.fillRect(x(begin), 0, Math.max(1, x(end) - x(begin)), height);
    g.strokeRect(x(begin), 0.5, Math.max(1, x(end) - x(begin)), height - 1);
  }
  if (live.openBegin >= 0) {
    g.fillStyle = 'rgba(240, 160, 48, 0.15)';
    g.fillRect(x(live.openBegin), 0, width - x(live.openBegin), height);
  }
  g.fillStyle = '#1f5f99';
  const middle = height / 2;
  for (const { end, low, high } of live.levels) {
    const left = x(end - FRAME_SIZES[live.rate]);
    const top = middle - (high / 32768) * middle;
    const bottom = middle - (low / 32768) * middle;
    g.fillRect(left, top - 0.5, Math.max(1, x(end) - left), bottom - top + 1);
  }
  g.fillStyle = '#333';
  g.font = '12px sans-serif';
  g.fillText(`${(live.pushed / live.rate).toFixed(1)} s`, width - 48, height - 6);
}

async function startLive() {
  $('start').disabled = true;
  // A new stream counts from zero again.
  Object.assign(live, { levels: [], pushed: 0, openBegin: -1, utterances: [] });
  $('utterances').replaceChildren();
  $('save').disabled = true;
  try {
    live.media = await navigator.mediaDevices.getUserMedia({
      audio: { echoCancellation: false, noiseSuppression: false, autoGainControl: false },
    });
    live.context = new AudioContext();
    live.rate = live.context.sampleRate;
    const frameSize = FRAME_SIZES[live.rate];
    if (!frameSize) {
      say($('live-message'), `The audio runs at ${live.rate} Hz; live detection needs 44100 or ` +
        '48000 Hz. Set the sound device to one of them and reload.', true);
      stopLive();
      return;
    }
    await live.context.audioWorklet.addModule(await workletUrl);
    const node = new AudioWorkletNode(live.context, 'capture-processor', {
      numberOfInputs: 1, numberOfOutputs: 1, channelCount: 1, channelCountMode: 'explicit',
      processorOptions: { frameSize },
    });
    const frames = new MessageChannel();
    live.worker.postMessage({ type: 'start', rate: live.rate, frameSize,
      threshold: Number($('threshold').value), port: frames.port1 }, [frames.port1]);
    node.port.postMessage({ port: frames.port2 }, [frames.port2]);
    live.context.createMediaStreamSource(live.media).connect(node);
    // The node writes silence; joined to the output, it is run on every render quantum.
    node.connect(live.context.destination);
    $('start').textContent = 'Stop';
    $('start').onclick = stopLive;
    $('start').disabled = false;
  } catch (error) {
    say($('live-message'), `The microphone could not be started: ${error.message}`, true);
    stopLive();
  }
}

function stopLive() {
  if (live.context !== null && !$('live-message').classList.contains('error')) {
    say($('live-message'), `Stopped after ${(live.pushed / live.rate).toFixed(1)} s at ${live.rate} Hz.`);
  }
  live.media?.getTracks().forEach((track) => track.stop());
  live.context?.close();
  live.worker.postMessage({ type: 'stop' });
  Object.assign(live, { media: null, context: null });
  $('start').textContent = 'Start the microphone';
  $('start').onclick = startLive;
  $('start').disabled = false;
}

live.worker.onmessage = onWorkerMessage;
live.worker.onerror = (event) => say($('live-message'), `The detector failed: ${event.message}`, true);
$('start').onclick = startLive;
$('threshold').addEventListener('input', () => {
  $('threshold-value').value = $('threshold').value;
  live.worker.postMessage({ type: 'threshold', value: Number($('threshold').value) });
});
$('save').onclick = () => {
  const last = live.utterances[live.utterances.length - 1];
  if (last) live.worker.postMessage({ type: 'clip', begin: last.begin, end: last.end });
};

// ---- Files ------------------------------------------------------------------------------

const fileWorker = new Worker('file-worker.mjs', { type: 'module' });
fileWorker.onerror = (event) => say($('file-message'), `The analysis failed: ${event.message}`, true);
fileWorker.onmessage = ({ data }) => {
  if (data.type === 'ready') return loaded('files');
  if (data.type === 'failed') return showFileError(data.error);
  data.warnings.forEach((line) => console.warn(line));
  const report = JSON.parse(data.json);
  if (report.error) return showFileError(data.text);
  showReport(report, data);
};

function showFileError(line) {
  $('result').hidden = true;
  say($('file-message'), line, true);
}

function cell(row, value) {
  const td = document.createElement('td');
  td.textContent = value === null ? 'open' : String(value);
  row.append(td);
}

function showReport(report, { text, json, svg }) {
  const count = report.utterances.length;
  say($('file-message'), `${report.file}: ${report.sampleRate} Hz, ${report.seconds} s, ` +
    `${count} ${count === 1 ? 'utterance' : 'utterances'}`);
  const body = $('numbers').tBodies[0];
  body.replaceChildren();
  report.utterances.forEach((u, i) => {
    const row = document.createElement('tr');
    cell(row, i + 1);
    cell(row, u.beginSeconds);
    cell(row, u.endSeconds);
    cell(row, u.beginSample);
    cell(row, u.endSample);
    body.append(row);
  });
  const speech = report.speech ?? {};
  $('snr').textContent = report.snrDb === null ? 'not measurable' : String(report.snrDb);
  $('span-begin').textContent = speech.beginSeconds ?? '-';
  $('span-end').textContent = speech.endSeconds ?? '-';
  $('span-begin-sample').textContent = speech.beginSample ?? '-';
  $('span-end-sample').textContent = speech.endSample ?? '-';
  $('report-text').textContent = text;
  $('report-json').textContent = json;
  const plot = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
  $('plot').src = plot;
  $('save-plot').href = plot;
  $('save-plot').download = `${report.file.replace(/\.[^.]*$/, '')}.svg`;
  $('result').hidden = false;
}

async function analyseFile(file) {
  say($('file-message'), `Reading ${file.name}…`);
  const bytes = await file.arrayBuffer();
  fileWorker.postMessage({ name: file.name, bytes }, [bytes]);
}

$('file').addEventListener('change', () => {
  if ($('file').files[0]) analyseFile($('file').files[0]);
  $('file').value = '';
});
// A file dropped beside the drop zone is ignored rather than opened in place of the page.
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => event.preventDefault());
const drop = $('drop');
drop.addEventListener('dragover', (event) => {
  event.preventDefault();
  drop.classList.add('over');
});
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  if (event.dataTransfer.files[0]) analyseFile(event.dataTransfer.files[0]);
});
