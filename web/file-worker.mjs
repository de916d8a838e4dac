// Analyses dropped files off the page's thread: the WAV file's own samples go through the
// report module, the command line's analysis compiled to WebAssembly.
import createTesselReport from './tessel-report.mjs';
import { parseWav } from './wav.mjs';

const warnings = [];
// Loaded before the page says it is ready, so that files are analysed without the network.
const report = createTesselReport({ print: (line) => warnings.push(line),
  printErr: (line) => warnings.push(line) });
report.then(() => postMessage({ type: 'ready' }),
  (error) => postMessage({ type: 'failed', error: `The analysis module did not load: ${error.message}` }));

function analyse(core, name, wav) {
  const nameBytes = new TextEncoder().encode(`${name}\0`);
  const block = core._malloc(2 * wav.samples.length + nameBytes.length);
  if (block === 0) throw new Error('not enough memory for the recording');
  try {
    core.HEAP16.set(wav.samples, block >> 1);
    const namePointer = block + 2 * wav.samples.length;
    core.HEAPU8.set(nameBytes, namePointer);
    const result = core._TesselWeb_Analyze(block, wav.samples.length, wav.sampleRate,
      wav.channels, namePointer);
    if (result === 0) throw new Error('not enough memory');
    try {
      return { json: core.UTF8ToString(core._TesselWeb_Json(result)),
        text: core.UTF8ToString(core._TesselWeb_Text(result)),
        svg: core.UTF8ToString(core._TesselWeb_Svg(result)) };
    } finally {
      core._TesselWeb_Free(result);
    }
  } finally {
    core._free(block);
  }
}

onmessage = async ({ data: { name, bytes } }) => {
  try {
    const wav = parseWav(bytes);
    warnings.length = 0;
    postMessage({ type: 'report', name, ...analyse(await report, name, wav), warnings: [...warnings] });
  } catch (error) {
    postMessage({ type: 'failed', name, error: `${name}: ${error.message}` });
  }
};
