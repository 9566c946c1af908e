#!/usr/bin/env python3
"""Writes the benchmark's file tree: the same tree for the same sizes, every time.

    make_tree.py <root> <folders> <files>

Folders hang ten to a parent, so the tree is about five levels deep. One folder in a hundred holds
a thumbnail database (Thumbs.db), 4 % of the files are logs, 1 % text files, and the rest .dat
files, each of 0 to 1023 bytes. Prints how many of each kind were written.
"""
import os
import random
import sys


def main():
    root, folders, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(20261209)
    paths = [root]
    os.makedirs(root, exist_ok=True)
    for i in range(1, folders + 1):
        parent = paths[(i - 1) // 10]
        path = os.path.join(parent, "folder%05d" % i)
        os.mkdir(path)
        paths.append(path)
    leaves = paths[1:] or paths
    counts = {"Thumbs.db": 0, "log": 0, "txt": 0, "dat": 0}
    data = bytes(range(256)) * 4

    def write(path, size):
        with open(path, "wb") as f:
            f.write(data[:size])

    thumbs = max(1, folders // 100)
    for i in range(thumbs):
        write(os.path.join(leaves[i * len(leaves) // thumbs], "Thumbs.db"), 20000 + rng.randrange(20000))
        counts["Thumbs.db"] += 1
    rest = max(0, files - thumbs)
    for i in range(rest):
        folder = leaves[i % len(leaves)]
        roll = rng.randrange(100)
        kind = "log" if roll < 4 else "txt" if roll < 5 else "dat"
        write(os.path.join(folder, "item%06d.%s" % (i, kind)), rng.randrange(1024))
        counts[kind] += 1
    print(" ".join("%s=%d" % kv for kv in counts.items()), "folders=%d" % folders)


if __name__ == "__main__":
    main()
