#!/usr/bin/env python3
"""Starts a Windows program and a yardstick under Wine in alternating pairs and prints how long
each takes from its start to the first map of its window, and its resident memory then.

    measure.py [--pairs N] ROOTLOG PROGRAM.exe YARDSTICK.exe

The time runs from just before `wine` is spawned to the arrival of the root window's map event for
a window of that process, as logged by ROOTLOG (the tests' X client, which stamps events with
CLOCK_MONOTONIC, the clock of time.monotonic_ns); so it holds Wine's start and the window
manager's part. Resident memory is the process's VmRSS once its window has been mapped for
0.5 s, and its peak (VmHWM). Wine's server is kept running between starts (wineserver -p), as a
Windows session keeps its own.

Timings under Wine here are noisy, so the ratio is taken within each pair (the two programs one
right after the other, the order alternating from pair to pair), and the median of those ratios
is given with a 95 % distribution-free interval (order statistics of the binomial).
"""

import argparse
import math
import os
import select
import statistics
import subprocess
import sys
import time

SIZE_TARGET = 512 * 1024
RATIO_TARGET = 1.10


class RootLog:
    def __init__(self, path):
        self.process = subprocess.Popen([path], stdout=subprocess.PIPE)
        self.buffer = b""
        ready = self.next_line(time.monotonic() + 10)
        if not ready or not ready.startswith("ready"):
            sys.exit("measure.py: the event logger did not start")

    def next_line(self, deadline):
        fd = self.process.stdout.fileno()
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                return None
            chunk = os.read(fd, 4096)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode()

    def stop(self):
        self.process.terminate()
        self.process.wait()


def memory_kb(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                fields[key] = int(value.split()[0])
    return fields["VmRSS"], fields["VmHWM"]


def measure(exe, log):
    """One start: (ms to first map, resident MB, peak MB), or None if no window was mapped."""
    start_us = time.monotonic_ns() // 1000
    program = subprocess.Popen(["wine", exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wanted = f" pid={program.pid} "
    mapped_us = None
    deadline = time.monotonic() + 30
    while (line := log.next_line(deadline)) is not None:
        if " map " in line and wanted in line:
            mapped_us = int(line.split()[0])
            break
    result = None
    if mapped_us is not None:
        time.sleep(0.5)
        rss, peak = memory_kb(program.pid)
        result = ((mapped_us - start_us) / 1000, rss / 1024, peak / 1024)
    program.terminate()
    try:
        program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
    while log.next_line(time.monotonic() + 0.05) is not None:  # this run's later events
        pass
    return result


def median_interval(values, confidence=0.95):
    """The median and a distribution-free interval for it: order statistics k and n+1-k, with k
    the largest for which P(Binomial(n, 1/2) < k) stays within half of 1 - confidence."""
    ordered = sorted(values)
    n = len(ordered)
    k, below = 0, 0.0
    while k < n:
        below_next = below + math.comb(n, k) / 2**n
        if below_next > (1 - confidence) / 2:
            break
        below, k = below_next, k + 1
    if k == 0:
        return statistics.median(ordered), ordered[0], ordered[-1]
    return statistics.median(ordered), ordered[k - 1], ordered[n - k]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pairs", type=int, default=15)
    parser.add_argument("rootlog")
    parser.add_argument("program")
    parser.add_argument("yardstick")
    args = parser.parse_args()
    programs = [args.program, args.yardstick]
    names = [os.path.basename(p) for p in programs]

    size = os.path.getsize(args.program)
    print(f"{names[0]}: {size} bytes = {size / 1024:.1f} KB (target: at most 512 KB): "
          f"{'met' if size <= SIZE_TARGET else 'NOT met'}")

    subprocess.run(["wineserver", "-w"], check=True)  # a server of an earlier start ends
    subprocess.run(["wineserver", "-p"], check=True)
    log = RootLog(args.rootlog)
    for exe in programs:  # one start of each first, uncounted: caches warm for both
        measure(exe, log)
    runs = [[], []]
    failures = 0
    for pair in range(args.pairs):
        order = (0, 1) if pair % 2 == 0 else (1, 0)
        results = {}
        for i in order:
            results[i] = measure(programs[i], log)
        if results[0] is None or results[1] is None:
            failures += 1
            continue
        for i in (0, 1):
            runs[i].append(results[i])
    log.stop()
    if not runs[0]:
        sys.exit("measure.py: no pair in which both programs mapped their window")

    print(f"{len(runs[0])} pairs under Wine ({failures} without a map), order alternating")
    print(f"{'':18} {'start to map min/med':>24} {'resident min/med':>20} {'peak min/med':>18}")
    for i in (0, 1):
        times, rss, peak = zip(*runs[i])
        print(f"{names[i]:18} {min(times):9.1f} /{statistics.median(times):7.1f} ms "
              f"{min(rss):7.1f} /{statistics.median(rss):5.1f} MB "
              f"{min(peak):6.1f} /{statistics.median(peak):5.1f} MB")
    for what, index in (("start to map", 0), ("resident memory", 1)):
        ratios = [a[index] / b[index] for a, b in zip(runs[0], runs[1])]
        middle, low, high = median_interval(ratios)
        verdict = "met" if high <= RATIO_TARGET else ("not met" if low > RATIO_TARGET else "open")
        print(f"{what} ratio {names[0]}/{names[1]}: median {middle:.3f}, 95 % interval "
              f"[{low:.3f}, {high:.3f}] (target: at most {RATIO_TARGET:.2f}: {verdict})")


if __name__ == "__main__":
    main()
