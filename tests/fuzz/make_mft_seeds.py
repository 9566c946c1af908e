#!/usr/bin/env python3
"""Cuts the file-table fuzzer's seeds from an image made by mkntfs and wimapply: single records,
and a tiny volume of 512-byte clusters holding the image's first records, its table at cluster 4.

    make_mft_seeds.py IMAGE RECORDS OUT_DIR     (RECORDS: how many records the tiny volume keeps)
"""
import struct
import sys


def unfix(rec):
    at, count = struct.unpack_from("<HH", rec, 4)
    for i in range(1, count):
        rec[i * 512 - 2:i * 512] = rec[at + 2 * i:at + 2 * i + 2]


def fix(rec):
    at, count = struct.unpack_from("<HH", rec, 4)
    for i in range(1, count):
        rec[at + 2 * i:at + 2 * i + 2] = rec[i * 512 - 2:i * 512]
        rec[i * 512 - 2:i * 512] = rec[at:at + 2]


def main():
    image, keep, out = open(sys.argv[1], "rb").read(), int(sys.argv[2]), sys.argv[3]
    cluster = struct.unpack_from("<H", image, 0x0B)[0] * image[0x0D]
    mft = struct.unpack_from("<Q", image, 0x30)[0] * cluster
    records = [bytearray(image[mft + n * 1024:mft + (n + 1) * 1024]) for n in range(keep)]
    for n in (0, 5, keep - 3, keep - 2):
        open(f"{out}/record-{n}", "wb").write(records[n])
    # Record 0's unnamed $DATA now covers just the records kept, from cluster 4 on.
    rec = records[0]
    unfix(rec)
    at = struct.unpack_from("<H", rec, 0x14)[0]
    while struct.unpack_from("<I", rec, at)[0] != 0x80:
        at += struct.unpack_from("<I", rec, at + 4)[0]
    size = keep * 1024
    struct.pack_into("<QQ", rec, at + 0x10, 0, size // 512 - 1)
    struct.pack_into("<QQQ", rec, at + 0x28, size, size, size)
    pairs = at + struct.unpack_from("<H", rec, at + 0x20)[0]
    rec[pairs:pairs + 5] = bytes([0x12]) + struct.pack("<H", size // 512) + bytes([4, 0])
    fix(rec)
    boot = bytearray(image[:512])
    boot[0x0D] = 1
    struct.pack_into("<QQ", boot, 0x28, 4 + size // 512, 4)
    boot[0x40], boot[0x44] = 0xF6, 0xF4
    open(f"{out}/tiny-volume", "wb").write(bytes(boot) + bytes(1536) + b"".join(records))


main()
