#!/usr/bin/env bash
# The scan benchmark: one command, minutes long, never part of ./test.
#
#   bench/scan.sh [folders [files]]     default 20000 folders, 200000 files
#
# In a Wine prefix of its own (build/bench/wineprefix) it writes a reproducible tree under
# C:\cxbench\tree (bench/make_tree.py, from the Linux side) and measures, in one run:
#   walk    a bare recursive FindFirstFileA/FindNextFileA walk of the tree, the same walk through the
#           program's own file system (its wide calls), and cmd /c dir /s /a /b
#   few     the real clutterix.exe, from the press of the start picture to the results page, with
#           one recursive rule that matches little (Thumbs.db)
#   quiet   the same with *.dat (about 95 % of the files) below the noise level: recorded, not
#           listed; its peak working set against "few" gives the bytes per recorded object
#   default the shipped rules, every category ticked, with the tree moved into the user's profile
#           (where the bulk of a real drive lies), against one bare walk of the whole drive
#   many    *.dat at noise level 0 on a copy of the tree (C:\cxbench\clean), then "Clean All" of
#           every row, against a bare DeleteFileA walk of the same files on another copy
#           (C:\cxbench\bare); each round copies both afresh
#   fill    the results list alone (bench/list_fill.cpp) with 10,000 to 200,000 rows, each then
#           sorted by size as a click on the column's header does
# During the scans and the cleaning a ping every 50 ms measures the main window's longest answer.
# The program's own "timer: " debug line gives how long the reports held the scan worker.
#
# CX_BENCH_EXE_DIR: the folder holding clutterix.exe, config\ and images\ (default: this build's).
# CX_BENCH_TOOLS: a Windows build folder holding the helpers already built (default: this build's,
#   built here); the list fill measures the list of the build it was linked in.
# CX_BENCH_TIMEOUT: seconds allowed per scan or cleaning (default 3600).
# CX_BENCH_RUNS: runs of each walk and scan, of which the fastest counts (default 3).
# The figures go to stdout and to build/bench/results-<time>.txt.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
folders=${1:-20000}
files=${2:-200000}
bench_name=results
# shellcheck source=bench/common.sh
source "$here/bench/common.sh"

root="$prefix/drive_c/cxbench"
# Where the default scan finds the tree; a run that stopped there leaves it to be moved back.
profile_tree="$user_dir/cxbench-tree"
if [ -d "$profile_tree" ]; then
  rm -rf "$root/tree"
  mv "$profile_tree" "$root/tree"
fi
stamp="$folders $files $(sha1sum "$here/bench/make_tree.py" | cut -c1-12)"
if [ "$(cat "$root/.stamp" 2>/dev/null)" != "$stamp" ]; then
  echo "bench: writing the tree ($folders folders, $files files)" >&2
  rm -rf "$root"
  mkdir -p "$root"
  python3 "$here/bench/make_tree.py" "$root/tree" "$folders" "$files" >"$root/counts"
  echo "$stamp" >"$root/.stamp"
fi
# A tree just written is still being flushed to the disk for a minute or two, and that writing
# slowed the first walks by up to half: every measurement starts with nothing left to write.
sync
dat=$(sed -n 's/.*dat=\([0-9]*\).*/\1/p' "$root/counts")

say "Clutterix scan benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(git -C "$here" rev-parse --short HEAD)"
say "tree: $folders folders, $(cat "$root/counts"); load average $(cut -d' ' -f1-3 /proc/loadavg)"

# A first walk reads the tree into the caches, so that the floor and the scans all read it warm.
wine_run "$tools/cx_bench_walk.exe" 'C:\cxbench\tree' >/dev/null 2>&1 || true
walk_s="" wide_s="" walk_runs="" wide_runs=""
for _ in $(seq "$runs"); do
  walk=$(wine_run "$tools/cx_bench_walk.exe" 'C:\cxbench\tree' --wide | tr -d '\r') || true
  a=$(field walk_seconds "$walk") w=$(field wide_seconds "$walk")
  walk_runs+="${walk_runs:+ }$a" wide_runs+="${wide_runs:+ }$w"
  if faster "$a" "$walk_s"; then walk_s=$a; fi
  if faster "$w" "$wide_s"; then wide_s=$w; fi
done
dir=$(wine_run "$tools/cx_bench_walk.exe" 'C:\cxbench\tree' --dir | tr -d '\r') || true
say "floor:  bare FindFirstFileA walk $walk_s s (runs $walk_runs; $(field walk_entries "$walk") entries); cmd /c dir /s /a /b $(field dir_seconds "$dir") s"
say "        through the program's file system (wide calls, UTF-8 names) $wide_s s = $(ratio "$wide_s" "$walk_s") x (runs $wide_runs)"

few=$(best "$runs" few '\cxbench\tree' 'Thumbs.db' 0)
few_s=$(field scan_seconds "$few")
say "few:    $few_s s = $(ratio "$few_s" "$walk_s") x the walk (runs $(field scan_runs "$few")); rows $(field rows "$few"); Traces Found $(field found "$few" | tr -d '"')"
say "        answer $(field worst_answer_ms "$few") ms (began $(field worst_answer_at "$few") s in); $(cat "$bench/timer.few.best")"

quiet=$(best "$runs" quiet '\cxbench\tree' '*.dat' 2000000000)
quiet_s=$(field scan_seconds "$quiet")
per_object=$(awk -v q="$(field peak_working_set "$quiet")" -v f="$(field peak_working_set "$few")" -v n="$dat" \
  'BEGIN { if (q > 0 && n > 0) printf "%.0f", (q - f) / n; else print "-" }')
say "quiet:  $quiet_s s = $(ratio "$quiet_s" "$walk_s") x the walk (runs $(field scan_runs "$quiet")); rows $(field rows "$quiet"); answer $(field worst_answer_ms "$quiet") ms"
say "        peak working set $(field peak_working_set "$quiet") bytes against $(field peak_working_set "$few"): $per_object bytes per recorded object"
say "        $(cat "$bench/timer.quiet.best")"

# The shipped rules on a drive whose bulk lies in the user's profile, against one bare walk of the
# whole drive (the copies of the tree are gone, so both see the same drive).
rm -rf "$root/clean" "$root/bare"
mv "$root/tree" "$profile_tree"
sync
drive=$(best_walk 'C:')
drive_s=$(field walk_seconds "$drive") drive_runs=$(field walk_runs "$drive") drive_entries=$(field walk_entries "$drive")
default=$(best "$runs" default '' '' 0)
mv "$profile_tree" "$root/tree"
default_s=$(field scan_seconds "$default")
say "drive:  bare FindFirstFileA walk of C: $drive_s s (runs $drive_runs; $drive_entries entries), the tree in the profile"
say "default: the shipped rules, every category: $default_s s = $(ratio "$default_s" "$drive_s") x the walk of the drive (runs $(field scan_runs "$default")); rows $(field rows "$default"); answer $(field worst_answer_ms "$default") ms (began $(field worst_answer_at "$default") s in)"
say "        $(cat "$bench/timer.default.best")"

# Each round scans a fresh copy and cleans it, then deletes the same files of another fresh copy
# with a bare DeleteFileA walk; each figure is the best of the rounds.
many_s="" many_runs="" many_answer=0 clean_s="" clean_runs="" clean_answer=0 clean_at="" bare_s="" bare_runs="" left=""
for _ in $(seq "$runs"); do
  rm -rf "$root/clean" "$root/bare"
  cp -a "$root/tree" "$root/clean"
  sync
  many=$(job many '\cxbench\clean' '*.dat' 0 --clean)
  s=$(field scan_seconds "$many") c=$(field clean_seconds "$many") a=$(field scan_answer_ms "$many") ca=$(field clean_answer_ms "$many")
  many_runs+="${many_runs:+/}$s" clean_runs+="${clean_runs:+/}$c"
  if faster "$s" "$many_s"; then many_s=$s rows=$(field rows "$many") && cp "$bench/timer.many" "$bench/timer.many.best"; fi
  if faster "$c" "$clean_s"; then clean_s=$c && cp "$bench/timer.many.clean" "$bench/timer.clean.best"; fi
  if awk -v a="$a" -v w="$many_answer" 'BEGIN { exit !(a + 0 > w + 0) }'; then many_answer=$a; fi
  if awk -v a="$ca" -v w="$clean_answer" 'BEGIN { exit !(a + 0 > w + 0) }'; then
    clean_answer=$ca clean_at=$(field clean_answer_at "$many")
  fi
  left+="${left:+/}$(find "$root/clean" -name '*.dat' | wc -l)"
  cp -a "$root/tree" "$root/bare"
  sync
  bare=$(wine_run "$tools/cx_bench_walk.exe" 'C:\cxbench\bare' --delete=.dat | tr -d '\r') || true
  b=$(field delete_seconds "$bare")
  bare_runs+="${bare_runs:+ }$b"
  if faster "$b" "$bare_s"; then bare_s=$b bare_deleted=$(field deleted "$bare"); fi
done
rm -rf "$root/bare"
say "many:   $many_s s = $(ratio "$many_s" "$walk_s") x the walk (runs $many_runs); rows $rows; answer $many_answer ms"
say "        $(cat "$bench/timer.many.best")"
say "bare:   DeleteFileA walk of the same files $bare_s s (runs $bare_runs; $bare_deleted deleted)"
say "clean:  Clean All $clean_s s = $(ratio "$clean_s" "$bare_s") x the bare deletion (runs $clean_runs), $(ratio "$rows" "$clean_s") rows/s; answer $clean_answer ms (the longest began $clean_at s in); .dat files left $left"
say "        $(cat "$bench/timer.clean.best")"

fill=$(wine_run "$tools/cx_bench_list_fill.exe" 10000 50000 100000 200000 | tr -d '\r') || true
fill_line="" sort_line=""
while read -r line; do
  fill_line+=" $(field fill_rows "$line") rows $(field fill_seconds "$line") s;"
  sort_line+=" $(field fill_rows "$line") rows $(field sort_seconds "$line") s;"
done <<<"$fill"
f100=$(field fill_seconds "$(grep 'fill_rows=100000 ' <<<"$fill")")
f200=$(field fill_seconds "$(grep 'fill_rows=200000 ' <<<"$fill")")
say "fill:  $fill_line"
say "sort by size, until painted:$sort_line"
say "        200,000 / 100,000 rows = $(ratio "$f200" "$f100"); 200,000 rows = $(ratio "$f200" "$walk_s") x the walk"
echo "bench: figures saved in $out" >&2
