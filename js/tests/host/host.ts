// A typed host: tsc checks it against the package's declarations.
import Tessel, { type Snr, type Stream, type Utterance } from 'tessel';

export async function endOf(recording: Int16Array, rate: number, frameSize: number): Promise<number> {
  const tessel: Tessel = await Tessel.load({ warn: (line: string) => console.error(line) });
  const stream: Stream = tessel.stream(rate, frameSize);
  for (let at = 0; at + frameSize <= recording.length; at += frameSize) {
    if (stream.push(recording.subarray(at, at + frameSize))) break;
  }
  const utterance: Utterance = stream.utterance();
  stream.setThreshold(200);
  stream.reset();
  stream.close();
  const snr: Snr = tessel.snr(recording);
  return snr.db > 0 ? utterance.end : -1;
}
