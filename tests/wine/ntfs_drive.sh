#!/usr/bin/env bash
# Runs the NTFS drive tests (tests/wine/ntfs_drive_test.cpp) with an NTFS volume to scan: an image
# made with mkntfs, its tree laid in by ntfs_drive_tree.py through ntfs-3g, then mounted again so
# that everything written has settled in the image before the program reads it raw.
#
#   ntfs_drive.sh <command that runs the Wine tests...>
#
# The command gets CX_NTFS_MOUNT (the mounted volume) and CX_NTFS_IMAGE (the image); the tests give
# their prefix both as drive D:. Exits 77, skipped, where the machine cannot mount an image (no
# ntfs-3g, no FUSE); the mount and the image go when it ends.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
export PATH="$PATH:/usr/sbin:/sbin"
skip() {
  echo "ntfs_drive: skipped: $*" >&2
  exit 77
}
for tool in mkntfs ntfs-3g python3; do command -v "$tool" >/dev/null || skip "no $tool (packages ntfs-3g, python3)"; done
[ -e /dev/fuse ] || skip "no /dev/fuse"

work=$(mktemp -d "${TMPDIR:-/tmp}/cx-ntfs-drive.XXXXXX")
image=$work/volume.img
mount=$work/volume
unmount() { if mountpoint -q "$mount"; then umount "$mount" 2>/dev/null || fusermount -u "$mount"; fi; }
# Wine's mount manager leaves the raw device's link behind when the tests remove the drive (and a
# test that crashed leaves both): every link of a prefix given here into this run's folder goes.
forget_drive() {
  local arg link
  for arg in "$@"; do
    [ -d "$arg/dosdevices" ] || continue
    for link in "$arg"/dosdevices/* "$arg"-[0-9]/dosdevices/*; do
      if [ -L "$link" ] && [[ "$(readlink "$link")" == "$work"/* ]]; then rm -f "$link"; fi
    done
  done
}
trap 'forget_drive "$@"; unmount || true; rm -rf "$work"' EXIT

truncate -s 256M "$image"
mkntfs --force --quick --quiet --label Clutterix "$image" >/dev/null 2>&1
mkdir "$mount"
ntfs-3g -o compression "$image" "$mount" || skip "ntfs-3g cannot mount an image here"
python3 "$here/ntfs_drive_tree.py" "$mount"
unmount
ntfs-3g "$image" "$mount"
CX_NTFS_MOUNT=$mount CX_NTFS_IMAGE=$image "$@"
