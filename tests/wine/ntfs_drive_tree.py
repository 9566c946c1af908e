#!/usr/bin/env python3
"""Lays the NTFS drive test's tree into a volume mounted with ntfs-3g.

    ntfs_drive_tree.py <mount point>

What a file table holds beyond plain files: a hard link, a long name with its own DOS name, names
outside the ANSI code page, a sparse and a compressed file, a deleted file whose record stays
behind, and a junction, whose target holds what a scan must never reach through it. Thumbs.db files
lie in several folders for the real program's thumbnail rule.
"""
import os
import struct
import sys

# ntfs-3g's extended attributes for what NTFS has and Linux has not.
DOS_NAME = "system.ntfs_dos_name"
ATTRIBUTES = "system.ntfs_attrib_be"
REPARSE_DATA = "system.ntfs_reparse_data"
FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_COMPRESSED = 0x10, 0x800
IO_REPARSE_TAG_MOUNT_POINT = 0xA0000003


def write(root, relative, size, byte=b"x"):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(byte * size)
    return path


def junction(path, target):
    """A mount point (junction) to the Windows path `target`, as Windows writes one."""
    os.makedirs(path)
    substitute = ("\\??\\" + target).encode("utf-16-le")
    printed = target.encode("utf-16-le")
    names = substitute + b"\0\0" + printed + b"\0\0"
    buffer = struct.pack("<HHHH", 0, len(substitute), len(substitute) + 2, len(printed)) + names
    os.setxattr(path, REPARSE_DATA, struct.pack("<IHH", IO_REPARSE_TAG_MOUNT_POINT, len(buffer), 0) + buffer)


def main():
    root = sys.argv[1]
    write(root, "data/a.tmp", 1000)
    write(root, "data/sub/b.tmp", 2000)
    write(root, "data/sub/deeper/c.tmp", 3000)
    os.link(write(root, "data/h1.tmp", 1500), os.path.join(root, "data/sub/h2.tmp"))
    os.setxattr(write(root, "data/a very long name indeed.tmp", 100), DOS_NAME, b"AVERYL~1.TMP")
    write(root, "data/\u65e5\u672c\u8a9e.tmp", 3)
    write(root, "data/\u00dcn\u00efc\u00f6d\u00e9/emoji \U0001F600.tmp", 4)
    with open(write(root, "data/sparse.tmp", 0), "r+b") as f:
        f.truncate(3 << 30)  # far beyond the volume: nothing but its size is stored
    packed = os.path.join(root, "data/packed")
    os.makedirs(packed)
    os.setxattr(packed, ATTRIBUTES, struct.pack(">I", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_COMPRESSED))
    compressed = write(root, "data/packed/c.tmp", 50000, b"\0")
    if not struct.unpack(">I", os.getxattr(compressed, ATTRIBUTES))[0] & FILE_ATTRIBUTE_COMPRESSED:
        sys.exit("ntfs_drive_tree: the volume did not compress data/packed/c.tmp")
    os.remove(write(root, "data/gone.tmp", 700))
    write(root, "data/keep.txt", 5)
    write(root, "outside/o.tmp", 10)
    write(root, "outside/Thumbs.db", 999)
    write(root, "data/whole/x.bin", 10)
    write(root, "data/whole/y/z.bin", 20)
    junction(os.path.join(root, "data/whole/link"), "D:\\outside")
    write(root, "data/Thumbs.db", 30000)
    write(root, "data/sub/deeper/Thumbs.db", 20000)
    write(root, "data/\u00dcn\u00efc\u00f6d\u00e9/Thumbs.db", 5000)


if __name__ == "__main__":
    main()
