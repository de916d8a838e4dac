"""Threads misusing one Stream: python3 stream_races.py [TRIALS]. Run against any libtessel
(TESSEL_LIBRARY), also a sanitizer build with its runtime preloaded; a fault ends the process.

hammer: four threads push, reset, read the utterance and set the threshold on one stream.
close:  close() lands at a random moment of another thread's pushes; every later push must
        raise the closed error, and so must every other call.
"""

import random
import sys
import threading
import time

import numpy as np

import tessel

RATE, FRAME = 8000, 80
NOISE = np.random.default_rng(7).integers(-3000, 3000, FRAME * 50, dtype=np.int16)
FRAMES = [NOISE[start : start + FRAME] for start in range(0, NOISE.size, FRAME)]


def hammer(trial):
    stream = tessel.Stream(RATE, FRAME, trace=trial % 2 == 1)
    failures = []

    def work(seed):
        pick = random.Random(seed)
        try:
            for frame in FRAMES:
                stream.push(frame)
                action = pick.randrange(8)
                if action == 0:
                    stream.reset()
                elif action == 1:
                    stream.threshold = pick.randrange(100, 400)
                elif action == 2 and stream._records is not None:
                    stream.trace
                stream.utterance
        except Exception as error:
            failures.append(error)

    threads = [threading.Thread(target=work, args=(trial * 4 + n,)) for n in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    stream.close()
    assert not failures, failures


def close_race(trial):
    stream = tessel.Stream(RATE, FRAME)
    closed_seen = []

    def push_until_closed():
        try:
            while True:
                for frame in FRAMES:
                    stream.push(frame)
        except ValueError as error:
            closed_seen.append(str(error))

    pusher = threading.Thread(target=push_until_closed)
    pusher.start()
    time.sleep(random.Random(trial).random() * 0.002)
    stream.close()
    pusher.join()
    assert closed_seen == ["the stream is closed"], closed_seen
    for call in (stream.reset, lambda: stream.utterance, lambda: stream.push(FRAMES[0])):
        try:
            call()
        except ValueError as error:
            assert str(error) == "the stream is closed"
        else:
            raise AssertionError("a call after close() went through")


def main(trials):
    sys.setswitchinterval(1e-5)  # switch threads often, inside the library's calls too
    for race in (hammer, close_race):
        for trial in range(trials):
            race(trial)
        print(f"{race.__name__}: {trials} trials, no fault")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 1000)
