// Runs on the audio thread: turns the microphone's float samples into 16-bit frames of the
// detector's frame size at the audio context's own rate and sends each, whole, to the live
// worker through the port the page hands over. The worker sends each frame's buffer back once
// it has taken the samples, so that the audio thread allocates only while frames are in flight.

// One float sample in [-1, 1) to 16 bits as the command line converts files: scaled by 32768,
// rounded to nearest with ties to even, saturated.
function toSample16(value) {
  const scaled = value * 32768;
  let rounded = Math.round(scaled);
  if (rounded - scaled === 0.5 && rounded % 2 !== 0) rounded -= 1;
  return Math.max(-32768, Math.min(32767, rounded));
}

class CaptureProcessor extends AudioWorkletProcessor {
  constructor(options) {
    super();
    this.frameSize = options.processorOptions.frameSize;
    this.frame = new Int16Array(this.frameSize);
    this.filled = 0;
    this.worker = null;
    this.spare = [];
    this.port.onmessage = ({ data }) => {
      this.worker = data.port;
      this.worker.onmessage = ({ data: returned }) => this.spare.push(returned);
    };
  }

  process(inputs) {
    const samples = inputs[0] && inputs[0][0];
    if (!samples || this.worker === null) return true;
    for (let i = 0; i < samples.length; i += 1) {
      this.frame[this.filled] = toSample16(samples[i]);
      this.filled += 1;
      if (this.filled === this.frameSize) {
        this.worker.postMessage(this.frame, [this.frame.buffer]);
        this.frame = this.spare.pop() ?? new Int16Array(this.frameSize);
        this.filled = 0;
      }
    }
    return true;
  }
}

registerProcessor('capture-processor', CaptureProcessor);
