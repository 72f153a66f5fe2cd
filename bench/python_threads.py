#!/usr/bin/python3
"""How a thread pool scales with quillion: COUNT Code 128 PNGs (render and png(), in memory) on
one thread, then on THREADS (default: one per processor), in turns of 5 rounds each, so that a
change in the machine's load falls on both alike. The library runs without the GIL (ctypes lets
go of it for every foreign call), so the speed-up should come close to the number of processors
that are free; the load average is printed with it.

    QUILLION_LIBRARY=build/library/libquillion.so.0 PYTHONPATH=bindings/python/src \
        /usr/bin/python3 bench/python_threads.py [COUNT] [THREADS]
"""

import os
import sys
import time
from concurrent.futures import ThreadPoolExecutor

import quillion

COUNT = int(sys.argv[1]) if len(sys.argv) > 1 else 10_000
THREADS = int(sys.argv[2]) if len(sys.argv) > 2 else os.cpu_count()
TEXTS = [f"QX-{n:05d}" for n in range(COUNT)]


def png(text):
    return quillion.render("code128", text, dpi=300, module_width="0.25mm", height="10mm",
                           quiet_zones=True).png()


def batch(threads):
    begin = time.perf_counter()
    cpu = time.process_time()
    with ThreadPoolExecutor(max_workers=threads) as pool:
        for _ in pool.map(png, TEXTS, chunksize=1):
            pass
    return time.perf_counter() - begin, time.process_time() - cpu


def main():
    print(f"libquillion {quillion.library_version()}, {COUNT} Code 128 PNGs, "
          f"{os.cpu_count()} processors, load average {os.getloadavg()[0]:.1f}")
    png(TEXTS[0])
    times = {1: [], THREADS: []}
    for _ in range(5):
        for threads in times:
            times[threads].append(batch(threads))
    best = {threads: min(runs) for threads, runs in times.items()}
    for threads, (wall, cpu) in best.items():
        print(f"  {threads} thread(s): best of 5 {wall:6.2f} s wall, {cpu:6.2f} s CPU, "
              f"{COUNT / wall:8.0f} barcodes/s")
    print(f"  speed-up {best[1][0] / best[THREADS][0]:.2f}x on {THREADS} threads; "
          f"load average now {os.getloadavg()[0]:.1f}")


if __name__ == "__main__":
    main()
