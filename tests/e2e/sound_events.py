#!/usr/bin/env python3
"""Finds sounds in a recording of raw signed 16-bit little-endian mono samples (parec --raw).

The recording is cut into 10 ms frames and each frame's level taken in dB below full scale.
A frame is loud when its level is above --threshold. An onset is a loud frame that is at
least --rise dB above the quietest of the frames just before it (a cue starting from
silence, or a cue restarted after a short break); onsets closer than --refractory are one.
A segment (an utterance, a cue) is a stretch of loud frames with no gap of --gap seconds or
more inside it. The summary also gives the five longest pauses between loud frames, each with
the loud time before it.

  sound_events.py [options] FILE summary        onsets, segments, pauses and loud time as JSON
  sound_events.py [options] FILE wait-quiet     waits until FILE (still being recorded) has
                                                sound after --start followed by --quiet
                                                seconds of silence; then as summary
Times are seconds from --start (a byte offset into FILE, as taken when an action began).
"""

import argparse
import array
import json
import math
import os
import sys
import time

FRAME_SECONDS = 0.01


def read_samples(path, start, rate):
    with open(path, "rb") as stream:
        stream.seek(start)
        data = stream.read()
    data = data[: len(data) - len(data) % 2]
    samples = array.array("h")
    samples.frombytes(data)
    if sys.byteorder != "little":
        samples.byteswap()
    return samples


def frame_levels(samples, rate):
    size = max(1, int(rate * FRAME_SECONDS))
    levels = []
    for begin in range(0, len(samples) - size + 1, size):
        frame = samples[begin : begin + size]
        power = sum(s * s for s in frame) / size
        levels.append(10 * math.log10(power / (32768.0**2)) if power > 0 else -120.0)
    return levels


def onsets(levels, args):
    window = max(1, int(args.window / FRAME_SECONDS))
    refractory = max(1, int(args.refractory / FRAME_SECONDS))
    found = []
    for i, level in enumerate(levels):
        if level < args.threshold:
            continue
        before = levels[max(0, i - window) : i] or [-120.0]
        if level - min(before) >= args.rise and (not found or i - found[-1] >= refractory):
            found.append(i)
    return [round(i * FRAME_SECONDS, 3) for i in found]


def segments(levels, args):
    gap = max(1, int(args.gap / FRAME_SECONDS))
    found = []
    start = last = None
    loud = 0
    for i, level in enumerate(levels):
        if level < args.threshold:
            continue
        if start is not None and i - last > gap:
            found.append((start, last, loud))
            start, loud = None, 0
        if start is None:
            start = i
        last = i
        loud += 1
    if start is not None:
        found.append((start, last, loud))
    return [
        {
            "start": round(s * FRAME_SECONDS, 3),
            "end": round((e + 1) * FRAME_SECONDS, 3),
            "loud": round(n * FRAME_SECONDS, 3),
        }
        for s, e, n in found
    ]


def pauses(levels, args):
    """The silences between loud frames, longest first, with the loud time before each."""
    found = []
    loud = 0
    last = None
    for i, level in enumerate(levels):
        if level < args.threshold:
            continue
        if last is not None and i - last > 1:
            found.append(
                {
                    "at": round((last + 1) * FRAME_SECONDS, 3),
                    "length": round((i - last - 1) * FRAME_SECONDS, 3),
                    "loud_before": round(loud * FRAME_SECONDS, 3),
                }
            )
        last = i
        loud += 1
    return sorted(found, key=lambda pause: -pause["length"])


def summary(levels, args):
    loud = sum(1 for level in levels if level >= args.threshold)
    return {
        "seconds": round(len(levels) * FRAME_SECONDS, 3),
        "loud": round(loud * FRAME_SECONDS, 3),
        "peak_db": round(max(levels), 1) if levels else -120.0,
        "onsets": onsets(levels, args),
        "segments": segments(levels, args),
        "pauses": pauses(levels, args)[:5],
    }


def quiet_tail(levels, args):
    """True once there was sound and the last --quiet seconds are silent."""
    tail = int(args.quiet / FRAME_SECONDS)
    if len(levels) <= tail:
        return False
    loud_frames = [i for i, level in enumerate(levels) if level >= args.threshold]
    return bool(loud_frames) and loud_frames[-1] < len(levels) - tail


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("file")
    parser.add_argument("command", choices=["summary", "wait-quiet"])
    parser.add_argument("--rate", type=int, default=22050)
    parser.add_argument("--start", type=int, default=0, help="byte offset to start from")
    parser.add_argument("--threshold", type=float, default=-50.0, help="dBFS of a loud frame")
    parser.add_argument("--rise", type=float, default=6.0, help="dB above the frames before")
    parser.add_argument("--window", type=float, default=0.05, help="seconds looked back")
    parser.add_argument("--refractory", type=float, default=0.06, help="seconds between onsets")
    parser.add_argument("--gap", type=float, default=0.6, help="seconds of silence between segments")
    parser.add_argument("--quiet", type=float, default=1.0, help="wait-quiet: seconds of silence")
    parser.add_argument("--timeout", type=float, default=20.0, help="wait-quiet: seconds")
    args = parser.parse_args()
    args.start -= args.start % 2

    if args.command == "wait-quiet":
        deadline = time.monotonic() + args.timeout
        while True:
            levels = frame_levels(read_samples(args.file, args.start, args.rate), args.rate)
            if quiet_tail(levels, args):
                break
            if time.monotonic() >= deadline:
                print(json.dumps(summary(levels, args)))
                return 1
            time.sleep(0.1)
    else:
        if not os.path.exists(args.file):
            sys.stderr.write("no recording: %s\n" % args.file)
            return 2
        levels = frame_levels(read_samples(args.file, args.start, args.rate), args.rate)
    print(json.dumps(summary(levels, args)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
