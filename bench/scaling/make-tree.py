#!/usr/bin/env python3
"""Writes a reproducible tree of COUNT small files under ROOT: 100 files per folder, 100 folders
per parent, sizes 0 to 4 KiB from a fixed seed, all files dated one fixed day."""
import os
import random
import sys

root, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(count)
stamp = 1_767_225_600  # 2026-01-01 00:00 UTC
block = bytes(rng.getrandbits(8) for _ in range(4096))
for n in range(count):
    folder = os.path.join(root, f"d{n // 10000:03d}", f"e{n // 100 % 100:02d}")
    if n % 100 == 0:
        os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"file{n % 100:02d}.txt")
    size = rng.randrange(4097)
    with open(path, "wb") as f:
        f.write(block[:size])
    os.utime(path, (stamp, stamp))
open(os.path.join(root, ".complete"), "w").close()
