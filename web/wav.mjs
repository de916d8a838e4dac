// WAV files read and written as they are: 16-bit PCM samples straight from the file, at the
// file's own rate, with no resampling or conversion by the browser.

const PCM = 1;
const EXTENSIBLE = 0xfffe;

function tag(view, at) {
  return String.fromCharCode(view.getUint8(at), view.getUint8(at + 1), view.getUint8(at + 2),
    view.getUint8(at + 3));
}

// The first channel of a 16-bit PCM WAV file: { sampleRate, channels, samples } with samples an
// Int16Array. Anything else throws an Error whose message is one line saying why. A data chunk
// that runs past the end of the file gives the whole frames present.
export function parseWav(buffer) {
  const view = new DataView(buffer);
  if (view.byteLength < 12 || tag(view, 0) !== 'RIFF' || tag(view, 8) !== 'WAVE') {
    throw new Error('not a WAV file (it does not begin with a RIFF WAVE header)');
  }
  let format = null;
  let data = null;
  for (let at = 12; at + 8 <= view.byteLength && data === null;) {
    const id = tag(view, at);
    const size = view.getUint32(at + 4, true);
    const body = at + 8;
    if (id === 'fmt ') {
      if (size < 16 || body + 16 > view.byteLength) throw new Error('its fmt chunk is cut short');
      format = {
        code: view.getUint16(body, true),
        channels: view.getUint16(body + 2, true),
        sampleRate: view.getUint32(body + 4, true),
        blockAlign: view.getUint16(body + 12, true),
        bits: view.getUint16(body + 14, true),
      };
      // WAVE_FORMAT_EXTENSIBLE names the encoding by the first two bytes of its sub-format.
      if (format.code === EXTENSIBLE && size >= 26 && body + 26 <= view.byteLength) {
        format.code = view.getUint16(body + 24, true);
      }
    } else if (id === 'data') {
      data = { offset: body, size: Math.min(size, view.byteLength - body) };
    }
    at = body + size + (size % 2);
  }
  if (format === null) throw new Error('no fmt chunk before the samples: not a usable WAV file');
  if (data === null) throw new Error('no data chunk: the file holds no samples');
  if (format.code !== PCM || format.bits !== 16) {
    const what = format.code === PCM ? `${format.bits}-bit PCM` : `encoding ${format.code}`;
    throw new Error(`holds ${what} samples; this page reads 16-bit PCM WAV files only`);
  }
  if (format.channels < 1) throw new Error('the header gives 0 channels');
  if (format.sampleRate < 1) throw new Error('the header gives a sample rate of 0 Hz');
  if (format.blockAlign !== 2 * format.channels) {
    throw new Error(`its block size of ${format.blockAlign} bytes does not fit ` +
      `${format.channels} channels of 16 bits`);
  }
  const frames = Math.floor(data.size / format.blockAlign);
  const samples = new Int16Array(frames);
  for (let i = 0; i < frames; i += 1) {
    samples[i] = view.getInt16(data.offset + i * format.blockAlign, true);
  }
  return { sampleRate: format.sampleRate, channels: format.channels, samples };
}

// A mono 16-bit PCM WAV file of the samples.
export function encodeWav(samples, sampleRate) {
  const buffer = new ArrayBuffer(44 + 2 * samples.length);
  const view = new DataView(buffer);
  const text = (at, value) => [...value].forEach((c, i) => view.setUint8(at + i, c.charCodeAt(0)));
  text(0, 'RIFF');
  view.setUint32(4, 36 + 2 * samples.length, true);
  text(8, 'WAVE');
  text(12, 'fmt ');
  view.setUint32(16, 16, true);
  view.setUint16(20, PCM, true);
  view.setUint16(22, 1, true);
  view.setUint32(24, sampleRate, true);
  view.setUint32(28, 2 * sampleRate, true);
  view.setUint16(32, 2, true);
  view.setUint16(34, 16, true);
  text(36, 'data');
  view.setUint32(40, 2 * samples.length, true);
  new Int16Array(buffer, 44).set(samples);
  return buffer;
}
