# What the benchmarks share, sourced by each (bash): the build, the bench's own Wine prefix
# (build/bench/wineprefix) with the program installed for one job at a time, and the helpers that
# run a job through bench/drive.cpp and keep the fastest of several runs. Each script sets
# bench_name (its results file's name) first; scan.sh describes the environment read here.
# shellcheck shell=bash

here=$(cd "$(dirname "$0")/.." && pwd)
timeout=${CX_BENCH_TIMEOUT:-3600}
build="$here/build"
# The product's i686 build, or its x86_64 twin where the kernel cannot run 32-bit programs.
target=$("$here/scripts/wine-target.sh")
win32="$build/$target"
bench="$build/bench"
prefix="$bench/wineprefix"
run="$here/scripts/wine-run.sh"

mkdir -p "$bench"
if [ -z "${CX_BENCH_TOOLS:-}" ]; then
  cmake --build "$build" >/dev/null
  cmake --build "$win32" --target cx_bench_walk cx_bench_drive cx_bench_list_fill >/dev/null
fi
tools=${CX_BENCH_TOOLS:-$win32}
exe_dir=${CX_BENCH_EXE_DIR:-$win32}
[ -f "$exe_dir/clutterix.exe" ] || {
  echo "bench: no clutterix.exe in $exe_dir" >&2
  exit 1
}
out="$bench/${bench_name:-results}-$(date -u +%Y%m%d-%H%M%S).txt"
log="$bench/debug.log"
: >"$log"
say() { echo "$*" | tee -a "$out"; }

# The installed program of one job: this build's exe and pictures, the job's trace definitions.
stage="$bench/install"
stage_job() { # stage_job <folder> <template>; no folder: the shipped trace definitions
  rm -rf "$stage"
  mkdir -p "$stage/config"
  cp "$exe_dir/clutterix.exe" "$stage/"
  cp -r "$exe_dir/images" "$stage/"
  if [ -z "$1" ]; then
    cp "$exe_dir/config/"*.cxtraces "$stage/config/"
    return
  fi
  printf '[Bench]\r\nLevel=Logs\r\nPath=%s\r\nTemplate=%s\r\nType=0\r\nSearchRule=1\r\n' "$1" "$2" >"$stage/config/vistagarbage.cxtraces"
  cp "$stage/config/vistagarbage.cxtraces" "$stage/config/xpgarbage.cxtraces"
}

wine_run() { CX_INSTALL_FROM="$stage" "$run" "$prefix" "$@"; }
trap '"$run" --stop "$prefix" >/dev/null 2>&1 || true' EXIT # the bench's Wine session ends with it

stage_job '\cxbench\tree' 'Thumbs.db'
wine_run "$tools/cx_bench_walk.exe" 'C:\windows' >/dev/null 2>&1 || true # makes the prefix on first use

user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
conf_dir="$user_dir/AppData/Local/Torvex Clutterix"
# The disks ticked, as the settings list them ($drives, "C=1" unless the script says otherwise).
write_conf() { # write_conf <noise level>
  mkdir -p "$conf_dir"
  printf '[Scan]\r\n%s\r\nLevel=0\r\nNoiseLevel=%s\r\nAutoStartScan=0\r\nRecycleBin=1\r\nTempFoldersAndFiles=1\r\nInternetCache=1\r\nImgCaches=1\r\nLogFiles=1\r\nWUBackup=1\r\n' "${drives:-C=1}" "$1" >"$conf_dir/general.conf"
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p" <<<"$2"; }
# This machine's walks of the same tree vary by a third from one run to the next (other work on
# its two cores): every timed figure is the fastest of $runs runs, each run's seconds after it.
runs=${CX_BENCH_RUNS:-3}
faster() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(b == "" || a + 0 < b + 0) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b ~ /^[0-9.]+$/ && b > 0 && a ~ /^[0-9.]+$/) printf "%.2f", a / b; else print "-" }'; }

# best_walk <drive or folder>: the fastest of $runs bare walks of it, as
# "walk_seconds=<s> walk_entries=<n> walk_runs=<s/s/s>".
best_walk() {
  local best_s="" entries="" all="" result a
  for _ in $(seq "$runs"); do
    result=$(wine_run "$tools/cx_bench_walk.exe" "$1" | tr -d '\r') || true
    a=$(field walk_seconds "$result")
    all+="${all:+/}$a"
    if faster "$a" "$best_s"; then best_s=$a entries=$(field walk_entries "$result"); fi
  done
  echo "walk_seconds=$best_s walk_entries=$entries walk_runs=$all"
}

job() { # job <name> <folder> <template> <noise level> [drive options]
  local name=$1 folder=$2 template=$3 noise=$4 result
  shift 4
  stage_job "$folder" "$template"
  write_conf "$noise"
  result=$(CX_WINEDEBUG=-all,+debugstr wine_run "$tools/cx_bench_drive.exe" "--timeout=$timeout" "$@" 2>>"$log" | tr -d '\r') || true
  echo "$result"
  grep -a "timer: walk" "$log" | tail -n 1 | sed 's/.*timer: /timer: /; s/\\n"$//; s/"$//' >"$bench/timer.$name"
  grep -a "timer: clean" "$log" | tail -n 1 | sed 's/.*timer: /timer: /; s/\\n"$//; s/"$//' >"$bench/timer.$name.clean"
  grep -a "(File table)" "$log" | sed 's/.*(File table) //; s/\\n"$//; s/"$//' | paste -sd ';' >"$bench/table.$name"
  cp "$log" "$bench/debug.$name.log"; : >"$log"
}

# best <runs> <job arguments>: the job's result of its fastest scan, with every scan's seconds
# (scan_runs) and the longest answer of them all (worst_answer_ms, beginning worst_answer_at s after
# the press); its timer lines likewise.
best() {
  local n=$1 name=$2 result best_result="" best_s="" all="" worst=0 worst_at="" s a
  shift
  for _ in $(seq "$n"); do
    result=$(job "$@")
    s=$(field scan_seconds "$result") a=$(field scan_answer_ms "$result")
    all+="${all:+/}$s"
    if awk -v a="$a" -v w="$worst" 'BEGIN { exit !(a + 0 > w + 0) }'; then
      worst=$a worst_at=$(field scan_answer_at "$result")
    fi
    if faster "$s" "$best_s"; then
      best_s=$s best_result=$result
      cp "$bench/timer.$name" "$bench/timer.$name.best"
    fi
  done
  echo "$best_result scan_runs=$all worst_answer_ms=$worst worst_answer_at=$worst_at"
}
