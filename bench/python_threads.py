#!/usr/bin/python3
"""How quillion scales over processors: COUNT Code 128 PNGs of the guide's label (300 dpi, 0.25 mm
modules, 10 mm bars, quiet zones; in memory) in chunks of 500 texts on a pool of 1 and of
WORKERS threads, and of 1 and of WORKERS processes, in turns of 3 rounds; the best round of each
counts. Each chunk is made the two documented ways: render(text).png() for every text, and one
render_many(texts) call for the chunk.

    QUILLION_LIBRARY=build/library/libquillion.so.0 PYTHONPATH=bindings/python/src \
        chrt -f 10 /usr/bin/python3 bench/python_threads.py [COUNT] [WORKERS] [large]

On a machine busy with other work a pool gets no second processor to scale onto: chrt -f 10
(root) runs the benchmark before the others for its few seconds.
"""

import os
import sys
import time
from concurrent.futures import ProcessPoolExecutor, ThreadPoolExecutor

import quillion

COUNT = int(sys.argv[1]) if len(sys.argv) > 1 else 8_000
WORKERS = int(sys.argv[2]) if len(sys.argv) > 2 else os.cpu_count() or 2
# "large": a 600-dpi label with 0.5 mm modules and 25 mm bars, about 20 times the work.
LARGE = len(sys.argv) > 3 and sys.argv[3] == "large"
TEXTS = [f"QX-{n:05d}" for n in range(COUNT)]
OPTIONS = (dict(dpi=600, module_width="0.5mm", height="25mm", quiet_zones=True) if LARGE else
           dict(dpi=300, module_width="0.25mm", height="10mm", quiet_zones=True))


def png(text):
    return quillion.render("code128", text, **OPTIONS).png()


def chunk(texts):
    return [png(text) for text in texts]


def chunk_many(texts):
    return quillion.render_many("code128", texts, **OPTIONS)


WAYS = {"render().png()": chunk, "render_many()": chunk_many}


def batch(way, pool_kind, workers):
    with pool_kind(max_workers=workers) as pool:
        pool.submit(len, "started").result()
        begin = time.perf_counter()
        parts = [TEXTS[i:i + 500] for i in range(0, COUNT, 500)]
        files = [file for part in pool.map(way, parts) for file in part]
        seconds = time.perf_counter() - begin
    assert len(files) == COUNT
    return seconds


def main():
    print(f"libquillion {quillion.library_version()}, {COUNT} Code 128 PNGs {OPTIONS}, "
          f"{os.cpu_count()} processors, load average {os.getloadavg()[0]:.1f}")
    assert chunk_many(TEXTS[:3]) == chunk(TEXTS[:3])
    kinds = (ThreadPoolExecutor, ProcessPoolExecutor)
    runs = {(way, kind, n): [] for way in WAYS for kind in kinds for n in (1, WORKERS)}
    for _ in range(3):
        for way, kind, workers in runs:
            runs[way, kind, workers].append(batch(WAYS[way], kind, workers))
    for way in WAYS:
        for kind in kinds:
            one, many = min(runs[way, kind, 1]), min(runs[way, kind, WORKERS])
            print(f"  {way:15s} {kind.__name__:19s} 1: {one:6.3f} s  {WORKERS}: {many:6.3f} s  "
                  f"speed-up {one / many:.2f}x  ({COUNT / many:.0f} barcodes/s)")


if __name__ == "__main__":
    main()
