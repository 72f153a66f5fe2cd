#!/usr/bin/python3
"""One process per Code 128 PNG, the commands taking turns: quillion-render of two builds (the
packages' configuration and a static one) against Debian's zint, each started once per round,
so that a change in the machine's load falls on all of them alike (hyperfine, in
bench/peer_zint_single.sh, runs each command's runs in one block). Each child's CPU time (user +
system) comes from wait4; the medians are compared, the first ten rounds left out as warm-up.

    bench/peer_zint_turns.py [PACKAGED_BUILD] [STATIC_BUILD] [ROUNDS]

Defaults: build-deb, build, 500. Output and the kept font caches go to a folder in /dev/shm.
zint draws 2-pixel modules with its text (--scale=1), quillion-render its caption.
"""

import os
import shutil
import statistics
import sys
import tempfile

SRC = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PACKAGED = sys.argv[1] if len(sys.argv) > 1 else os.path.join(SRC, "build-deb")
STATIC = sys.argv[2] if len(sys.argv) > 2 else os.path.join(SRC, "build")
ROUNDS = int(sys.argv[3]) if len(sys.argv) > 3 else 500
WARM_UP = 10
TEXT = "Coca-Cola-12pk-699"

work = tempfile.mkdtemp(prefix="quillion-turns.", dir="/dev/shm")
os.environ["XDG_CACHE_HOME"] = os.path.join(work, "cache")
zint = shutil.which("zint")
if zint is None:
    sys.exit("zint is not installed (apt-get install zint)")
commands = {
    "packaged, caption": [os.path.join(PACKAGED, "quillion-render"), "--output",
                          os.path.join(work, "a.png"), TEXT],
    "packaged, no caption": [os.path.join(PACKAGED, "quillion-render"), "--no-caption",
                             "--output", os.path.join(work, "b.png"), TEXT],
    "static, caption": [os.path.join(STATIC, "quillion-render"), "--output",
                        os.path.join(work, "c.png"), TEXT],
    "zint, text": [zint, "-b", "CODE128", "--scale=1", "-o", os.path.join(work, "z.png"), "-d",
                   TEXT],
}
cpu = {name: [] for name in commands}
try:
    for round_ in range(ROUNDS + WARM_UP):
        for name, argv in commands.items():
            pid = os.fork()
            if pid == 0:
                null = os.open(os.devnull, os.O_WRONLY)
                os.dup2(null, 1)
                os.dup2(null, 2)
                os.execv(argv[0], argv)
            _, status, usage = os.wait4(pid, 0)
            if status != 0:
                sys.exit(f"failed: {' '.join(argv)}")
            if round_ >= WARM_UP:
                cpu[name].append((usage.ru_utime + usage.ru_stime) * 1000)
finally:
    shutil.rmtree(work, ignore_errors=True)

print(f"{ROUNDS} rounds, one process per Code 128 PNG on /dev/shm; processors: {os.cpu_count()}; "
      f"load average: {os.getloadavg()[0]:.2f}")
zint_median = statistics.median(cpu["zint, text"])
for name, values in cpu.items():
    median = statistics.median(values)
    print(f"{name:22s} CPU median {median:6.3f} ms  ({median / zint_median:.2f}x zint)")
