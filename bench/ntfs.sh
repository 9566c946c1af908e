#!/usr/bin/env bash
# The NTFS benchmark: a whole drive scanned from its file table, against walking it. One command,
# minutes long, never part of ./test. It mounts an image with ntfs-3g, so it needs FUSE (root).
#
#   bench/ntfs.sh [folders [files]]     default 20000 folders, 200000 files, as bench/scan.sh
#
# The tree of bench/make_tree.py is laid into an NTFS image (build/bench/ntfs/volume.img, made once
# per tree and kept), which is mounted with ntfs-3g and given to the bench's prefix as drive D:.
# Wine runs the program as an administrator, so a scan is elevated. In one run, best of $runs each:
#   walk    a bare recursive FindFirstFileA/FindNextFileA walk of D:
#   walked  the real clutterix.exe with the shipped rules, every category ticked and D: the only
#           disk, from the press of the start picture to the results page, with no raw device for
#           D:, so that the drive is walked as on a volume whose table cannot be read
#   table   the same with the image as D:'s raw device (\\.\D:), so that D: is read from its table
# The program's debug output tells how each scan read D:; both ways are printed beside the figures.
# The environment is that of bench/scan.sh; the figures go to build/bench/ntfs-<time>.txt.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
folders=${1:-20000}
files=${2:-200000}
bench_name=ntfs
drives=$'C=0\r\nD=1'
# shellcheck source=bench/common.sh
source "$here/bench/common.sh"

export PATH="$PATH:/usr/sbin:/sbin"
for tool in mkntfs ntfs-3g ntfsinfo; do
  command -v "$tool" >/dev/null || {
    echo "bench: no $tool (package ntfs-3g)" >&2
    exit 1
  }
done
ntfs="$bench/ntfs"
image="$ntfs/volume.img"
mount="$ntfs/volume"
devices="$prefix/dosdevices"
unmount() { if mountpoint -q "$mount"; then umount "$mount" 2>/dev/null || fusermount -u "$mount"; fi; }
# Drive D: goes with the run, and with it the bench's Wine session.
trap 'rm -f "$devices/d:" "$devices/d::"; unmount || true; "$run" --stop "$prefix" >/dev/null 2>&1 || true' EXIT
mkdir -p "$mount"
unmount

stamp="$folders $files $(sha1sum "$here/bench/make_tree.py" | cut -c1-12)"
if [ "$(cat "$ntfs/.stamp" 2>/dev/null)" != "$stamp" ]; then
  echo "bench: writing the tree into an NTFS image ($folders folders, $files files)" >&2
  rm -f "$image" "$ntfs/.stamp"
  truncate -s 8G "$image"
  mkntfs --force --quick --quiet "$image" >/dev/null 2>&1
  ntfs-3g "$image" "$mount"
  python3 "$here/bench/make_tree.py" "$mount/tree" "$folders" "$files" >"$ntfs/counts"
  unmount
  ntfsinfo -i 0 "$image" | awk '/Dumping attribute \$DATA/ { data = 1 } data && /Data size:/ { print $3; exit }' >"$ntfs/mft-bytes"
  echo "$stamp" >"$ntfs/.stamp"
fi
ntfs-3g "$image" "$mount"
ln -sfn "$mount" "$devices/d:"
# A Wine session lists the drives whose links were there when it started: the next one sees D:.
"$run" --stop "$prefix" >/dev/null 2>&1 || true

say "Clutterix NTFS benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(git -C "$here" rev-parse --short HEAD)"
say "tree: $folders folders, $(cat "$ntfs/counts"); load average $(cut -d' ' -f1-3 /proc/loadavg)"
say "image: $(du -h --apparent-size "$image" | cut -f1) ($(du -h "$image" | cut -f1) written), its file table $(awk '{ printf "%.0f", $1 / 1048576 }' "$ntfs/mft-bytes") MiB"

# A first walk reads the volume into the caches: every figure is of a warm drive.
wine_run "$tools/cx_bench_walk.exe" 'D:' >/dev/null 2>&1 || true
walk=$(best_walk 'D:')
walk_s=$(field walk_seconds "$walk")
say "walk:   bare FindFirstFileA walk of D: $walk_s s (runs $(field walk_runs "$walk"); $(field walk_entries "$walk") entries)"

rm -f "$devices/d::"
walked=$(best "$runs" walked '' '' 0)
walked_s=$(field scan_seconds "$walked")
say "walked: the shipped rules, every category, D: walked: $walked_s s = $(ratio "$walked_s" "$walk_s") x the bare walk (runs $(field scan_runs "$walked")); rows $(field rows "$walked"); answer $(field worst_answer_ms "$walked") ms; peak working set $(field peak_working_set "$walked") bytes"
say "        D: $(cat "$bench/table.walked"); $(cat "$bench/timer.walked.best")"

ln -sfn "$image" "$devices/d::"
table=$(best "$runs" table '' '' 0)
table_s=$(field scan_seconds "$table")
say "table:  the same, D: read from its file table: $table_s s = $(ratio "$table_s" "$walked_s") x the program's walk, $(ratio "$table_s" "$walk_s") x the bare walk (runs $(field scan_runs "$table")); rows $(field rows "$table"); answer $(field worst_answer_ms "$table") ms (began $(field worst_answer_at "$table") s in); peak working set $(field peak_working_set "$table") bytes"
say "        D: $(cat "$bench/table.table"); $(cat "$bench/timer.table.best")"
echo "bench: figures saved in $out" >&2
