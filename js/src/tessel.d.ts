/** The supported input rates in Hz. */
export declare const RATES: readonly number[];

/** The current utterance in input samples; -1 while unknown. */
export interface Utterance {
  begin: number;
  end: number;
}

/** The speech span and the signal-to-noise ratio of a whole recording. */
export interface Snr {
  /** The first sample of the first speech frame. */
  spanBegin: number;
  /** The first sample of the frame just after the speech. */
  spanEnd: number;
  /** The speech level minus the noise level in dB (a single-precision value). */
  db: number;
}

/** One live end-point detection context for one input rate and frame size. */
export interface Stream {
  readonly rate: number;
  readonly frameSize: number;
  /**
   * Pushes exactly frameSize samples. Returns true once an utterance end is known, and on
   * every later push until reset(). Throws TypeError for anything but an Int16Array and
   * RangeError for another length.
   */
  push(samples: Int16Array): boolean;
  /** The utterance in input samples since the stream began or was last reset. */
  utterance(): Utterance;
  /** The detector's minimum energy threshold (156 to start); any 32-bit integer. */
  setThreshold(vadThreshold: number): void;
  /** Forgets the utterance; positions count again from the next push. The threshold stays. */
  reset(): void;
  /** Frees the context; other calls afterwards throw. Calling it again does nothing. */
  close(): void;
}

export interface LoadOptions {
  /** Receives each line the library writes to stderr (console.warn by default). */
  warn?: (line: string) => void;
  /** false loads the portable form even where the engine has WebAssembly SIMD. */
  simd?: boolean;
}

export declare class Tessel {
  private constructor();
  /** Loads the WebAssembly module; each instance has its own memory. */
  static load(options?: LoadOptions): Promise<Tessel>;
  /** The package's version, the project's. */
  readonly version: string;
  /** The library's two-line version banner. */
  readonly banner: string;
  /** Whether this instance runs the form of the library built with WebAssembly SIMD. */
  readonly simd: boolean;
  /**
   * A stream for sampleRate (8000, 11025, 16000, 22050, 44100 or 48000 Hz) taking frames of
   * frameSize samples: an even number from sampleRate / 100 to sampleRate / 50 whose length at
   * 8000 Hz, frameSize * 8000 / sampleRate truncated and raised to even, is a multiple of 4.
   * Throws RangeError for other values and TypeError for non-integers.
   */
  stream(sampleRate: number, frameSize: number): Stream;
  /** The speech span and SNR of a whole recording, mono at any rate. */
  snr(samples: Int16Array): Snr;
}

export default Tessel;
