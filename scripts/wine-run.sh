#!/usr/bin/env bash
# The Wine test bench: runs a Windows program in a 32-bit prefix that looks like a real Windows.
#
#   wine-run.sh <prefix> <exe> [args...]   run <exe> (a Unix path, or a Windows path inside the prefix)
#   wine-run.sh --lanes N <prefix> <exe> [args...]
#                                          the same in the first of N prefixes (<prefix>, <prefix>-2,
#                                          ... <prefix>-N) that no other run of this script holds
#   wine-run.sh --screen WxH [...]         the prefix's Xvfb has a screen of that size (default
#                                          1024x768), for the runs at a high DPI
#   wine-run.sh --fresh [--lanes N] <prefix> <exe> [args...]
#                                          the same in a prefix made anew for this run, whose Wine
#                                          session and Xvfb end with the program (the setup tests)
#   wine-run.sh --stop <prefix>            end the Wine session and the Xvfb of the prefix and its lanes
#   wine-run.sh --display <prefix>         print the X display the prefix's programs show on
#
# Where the kernel cannot run 32-bit programs (scripts/wine-target.sh says win64), the prefixes are
# 64-bit and run the x86_64 build of the same code.
# Lanes let ctest run Wine tests side by side: each test has a prefix, a wineserver and an Xvfb of
# its own for as long as it runs, so no two tests ever share a desktop, a registry or a disk.
# This is ctest's emulator for the Windows build. On every run it
#  - creates the prefix on first use, or again when Wine changed or the prefix cannot start 32-bit
#    programs (one made before wine32 was installed): WINEARCH=win32, Windows 7 (6.1) as Wine
#    reports it by default, no drive Z:, the per-user TEMP and TMP at
#    C:\users\<user>\AppData\Local\Temp, and real folders instead of Wine's links from the profile
#    (Desktop, Documents, ...) into the Unix home; no HTML engine and no .NET (mshtml and mscoree
#    are switched off, so Wine never offers to download its Gecko or Mono add-on: such a prompt
#    would hold the program that asked, with nobody there to answer it);
#  - installs clutterix.exe with its config\, images\ and lang\ at "C:\Program Files\Clutterix\" (only
#    what changed), from $CX_INSTALL_FROM or else from the folder of <exe> when it holds one;
#  - uses $DISPLAY when it is set, else one private Xvfb per prefix, started once and reused;
#  - keeps one wineserver per prefix, with Wine's services and desktop, alive between runs until
#    --stop ends it, so that each test does not pay for Wine's start-up. Never on a timer: a server
#    idle for its persistence delay first tells the services and the desktop to end, and a program
#    that starts during that shutdown gets a desktop that never comes (its windows never show).
# Wine keeps its recycle bin in the XDG trash; XDG_DATA_HOME points into the prefix's own folder so
# that no test ever touches the trash of the person running it.
# With CX_SCREENSHOTS set, the harness is told (CX_SCREENSHOT_DIR) to save into screenshots/.
set -euo pipefail

bench_version=4 # Raise when the prefix's set-up below changes: existing prefixes are then recreated.
here=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "wine-run: $*" >&2
  exit 1
}

[ $# -ge 2 ] || die "usage: wine-run.sh <prefix> <exe> [args...] | --stop <prefix> | --display <prefix>"

mode=run
lanes=1
fresh=
screen=1024x768
arch=$("$here/scripts/wine-target.sh")
while [ $# -gt 0 ]; do
  case "$1" in
    --stop | --stop-one | --display) mode=${1#--} ;;
    --lanes)
      lanes=$2
      shift
      ;;
    --fresh) fresh=1 ;;
    --screen)
      screen=$2
      shift
      ;;
    *) break ;;
  esac
  shift
done
[ $# -ge 1 ] || die "no prefix"
prefix=$(realpath -m "$1")
shift

if [ "$mode" = stop ]; then # the prefix and every lane beside it, each by a run of its own
  status=0
  for p in "$prefix" "$prefix"-[0-9]; do
    [ "$p" = "$prefix" ] || [ -d "$p" ] || continue
    "$0" --stop-one "$p" || status=$?
  done
  exit $status
fi

# A lane is held on fd 8 until the program ends; nothing started below may inherit it.
if [ "$lanes" -gt 1 ]; then
  lane=
  for n in $(seq 1 "$lanes"); do
    lane_prefix=$prefix
    [ "$n" = 1 ] || lane_prefix=$prefix-$n
    exec 8>"$lane_prefix.lane"
    if flock -n 8; then
      lane=$n
      break
    fi
  done
  if [ -z "$lane" ]; then # all busy (more ctest jobs than lanes): wait for the first
    lane_prefix=$prefix
    exec 8>"$lane_prefix.lane"
    flock 8
  fi
  prefix=$lane_prefix
fi

# CX_WINEDEBUG picks Wine channels for one run (the benchmark reads the debug output with +debugstr).
export WINEPREFIX="$prefix" WINEARCH=$arch WINEDEBUG="${CX_WINEDEBUG:--all}"
# Debian's wine starts the 32-bit loader whenever it is installed: a 64-bit prefix names its own.
wine=wine
if [ "$arch" = win64 ]; then
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine
fi
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export XDG_DATA_HOME="$prefix.home/share"
xvfb_state="$prefix.xvfb"       # "<pid> :<display> <screen>" of the Xvfb started for this prefix
session_state="$prefix.session" # "<display id> <wineserver pid>" of the running Wine session
mkdir -p "$(dirname "$prefix")" "$XDG_DATA_HOME"

lock_prefix() { # one set-up at a time per prefix; nothing started below may inherit fd 9
  exec 9>"$prefix.lock"
  flock -w 300 9 || die "$prefix.lock stays locked (a process left from an older bench may hold it)"
}

alive() { # alive <pid> <name>: the process lives and runs a program of that name
  [ -n "$1" ] && [ -r "/proc/$1/cmdline" ] && tr '\0' ' ' <"/proc/$1/cmdline" | grep -q "$2"
}

end_session() {
  if [ -d "$prefix" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true # returns at once when no server runs
  fi
  rm -f "$session_state"
}

if [ "$mode" = stop-one ]; then
  lock_prefix
  end_session
  read -r xpid _ 2>/dev/null <"$xvfb_state" || true
  if alive "${xpid:-}" Xvfb; then kill "$xpid"; fi
  rm -f "$xvfb_state"
  exit 0
fi

exe=${1:-}
shift || true
case "$exe" in
  "" | [A-Za-z]:\\*) ;;           # none (--display), or a Windows path inside the prefix
  *) exe=$(realpath -m "$exe") ;; # a Unix path: Wine reaches it without any drive letter
esac
[ "$mode" != run ] || [ -n "$exe" ] || die "no program to run"

# --- Display ---------------------------------------------------------------------------------
# Sets DISPLAY and display_id, which names the X server the Wine session is bound to.
start_xvfb() {
  local fifo pid num
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/cx-xvfb.XXXXXX")
  mkfifo "$fifo"
  # Xvfb writes its display number to fd 3 once it accepts clients; setsid keeps it out of the
  # caller's process group, and its own output goes to a log so ctest does not wait for it.
  setsid Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$fifo" 8>&- 9>&- </dev/null >"$prefix.xvfb.log" 2>&1 &
  pid=$!
  if ! read -r -t 30 num <"$fifo"; then
    rm -f "$fifo"
    die "Xvfb did not start (see $prefix.xvfb.log)"
  fi
  rm -f "$fifo"
  echo "$pid :$num $screen" >"$xvfb_state"
}

use_display() {
  if [ -n "${DISPLAY:-}" ]; then
    display_id="$DISPLAY"
    return
  fi
  local xpid xdisplay xscreen
  read -r xpid xdisplay xscreen 2>/dev/null <"$xvfb_state" || true
  if alive "${xpid:-}" Xvfb && [ "${xscreen:-}" != "$screen" ]; then # another size was asked for
    kill "$xpid"
    xpid=
  fi
  if ! alive "${xpid:-}" Xvfb; then
    start_xvfb
    read -r xpid xdisplay _ <"$xvfb_state"
  fi
  export DISPLAY="$xdisplay"
  display_id="xvfb-$xpid$xdisplay"
}

# --- Prefix ----------------------------------------------------------------------------------
bench_stamp() {
  echo "bench $bench_version, $arch, $("$wine" --version), wine32 $(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null || echo none)"
}

make_prefix() {
  echo "wine-run: creating the 32-bit Wine prefix $prefix" >&2
  end_session
  rm -rf "$prefix"
  # mshtml and mscoree registered at boot would look for their add-ons and may offer a download.
  # A first boot on a heavily loaded machine sometimes fails as a whole: once more from scratch.
  local try
  for try in 1 2; do
    if WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mscoree,mshtml=" "$wine" wineboot -i 8>&- 9>&- </dev/null >"$prefix.create.log" 2>&1; then
      break
    fi
    [ "$try" = 1 ] || die "wineboot failed twice (see $prefix.create.log)"
    echo "wine-run: wineboot failed; making the prefix once more" >&2
    end_session
    rm -rf "$prefix"
  done
  wineserver -w

  # No drive Z: (Wine maps the whole Unix root there); C: stays the only, fixed, disk.
  rm -f "$prefix/dosdevices/z:"

  # Wine links Desktop, Documents, Music, ... of the profile to the Unix home: make them real
  # folders, and move TEMP to where Vista and later keep it.
  local profile link
  profile=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
  [ -n "$profile" ] || die "the new prefix has no user profile"
  for link in "$profile"/*; do
    if [ -L "$link" ]; then
      rm -f "$link"
      mkdir -p "$link"
    fi
  done
  rm -rf "$profile/Temp"
  mkdir -p "$profile/AppData/Local/Temp"
}

configure_prefix() { # runs in the Wine session of this prefix
  local v
  for v in TEMP TMP; do
    "$wine" reg add 'HKCU\Environment' /v "$v" /t REG_EXPAND_SZ /d '%USERPROFILE%\AppData\Local\Temp' /f \
      8>&- 9>&- </dev/null >>"$prefix.create.log" 2>&1 || die "could not set $v (see $prefix.create.log)"
  done
  # Windows' own Tahoma metrics: without it Wine falls back to a wider font and cuts captions
  # that fit their designed widths on Windows. Wine ships a Tahoma of its own for this.
  local font
  for font in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf; do
    [ -f "$font" ] && cp "$font" "$prefix/drive_c/windows/Fonts/"
  done
  # The faces Windows has for Japanese, Chinese and Korean, which the catalogues of those languages
  # name, are shown with the CJK font the set-up installs (scripts/setup.sh).
  local face
  for face in "Meiryo UI" "MS UI Gothic" "Microsoft YaHei" "SimSun" "Malgun Gothic" "Gulim"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f \
      8>&- 9>&- </dev/null >>"$prefix.create.log" 2>&1 || die "could not replace the face $face"
  done
  # Off for good, also for programs started without this script's environment: the web browser
  # control stays, without an engine to render its pages (as where none is installed), and any
  # later use of either DLL fails at once instead of looking for an add-on.
  local dll
  for dll in winemenubuilder.exe mshtml mscoree; do
    "$wine" reg add 'HKCU\Software\Wine\DllOverrides' /v "$dll" /d '' /f \
      8>&- 9>&- </dev/null >>"$prefix.create.log" 2>&1 || die "could not turn off $dll"
  done
  # A prefix that cannot load its own kernel32 (made before wine32 was installed) fails here.
  if ! "$wine" cmd.exe /c echo cx-bench-ok 8>&- 9>&- </dev/null 2>>"$prefix.create.log" | grep -q cx-bench-ok; then
    die "the prefix cannot start its programs: is wine32:i386 (or, for win64, wine64) installed? (see $prefix.create.log)"
  fi
}

# --- Wine session ----------------------------------------------------------------------------
start_session() {
  local pid
  read -r _ pid 2>/dev/null <"$session_state" || true
  if [ "$(cut -d" " -f1 "$session_state" 2>/dev/null)" = "$display_id" ] && alive "${pid:-}" wineserver; then
    return
  fi
  end_session
  # A wineserver keeps the standard error of whoever started it, and Wine's services and
  # explorer.exe bind to the first display they see: start them all here, detached from the
  # test's output (ctest waits until every holder of that pipe has closed it).
  # The server returns once it accepts clients; it is the one started for this WINEPREFIX.
  wineserver -p 8>&- 9>&- </dev/null >/dev/null 2>&1 || die "wineserver did not start"
  "$wine" cmd.exe /c exit 8>&- 9>&- </dev/null >/dev/null 2>&1 || true
  pid=
  local p
  for p in /proc/[0-9]*; do
    if grep -q wineserver "$p/comm" 2>/dev/null && tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$prefix"; then pid=${p#/proc/}; fi
  done
  [ -n "$pid" ] || die "wineserver did not stay up"
  echo "$display_id $pid" >"$session_state"
}

# Programs that an earlier run left behind in this prefix (a test killed at its timeout leaves the
# program it drove): each run starts without them. Wine's own services stay.
end_leftovers() {
  local p cmd
  for p in /proc/[0-9]*; do
    case "$(readlink "$p/exe" 2>/dev/null)" in
      */wine | */wine-preloader | */wine64 | */wine64-preloader) ;; # a Windows program, not the server
      *) continue ;;
    esac
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$prefix" || continue
    cmd=$(tr '\0' ' ' 2>/dev/null <"$p/cmdline") || continue
    case "$cmd" in
      [Cc]:\\windows\\system32\\*) ;;
      *) kill -9 "${p#/proc/}" 2>/dev/null || true ;;
    esac
  done
}

# --- Installation ----------------------------------------------------------------------------
sync_file() { # sync_file <from> <to>: copies when the contents differ
  cmp -s "$1" "$2" 2>/dev/null || {
    mkdir -p "$(dirname "$2")"
    cp "$1" "$2"
  }
}

sync_dir() { # sync_dir <from> <to>: makes <to> hold exactly the files of <from>
  local rel
  mkdir -p "$2"
  (cd "$1" && find . -type f -print0) | while IFS= read -r -d '' rel; do sync_file "$1/$rel" "$2/$rel"; done
  (cd "$2" && find . -type f -print0) | while IFS= read -r -d '' rel; do
    [ -e "$1/$rel" ] || rm -f "$2/$rel"
  done
}

install_program() {
  local from=${CX_INSTALL_FROM:-}
  if [ -z "$from" ] && [ "${exe:1:1}" != : ] && [ -f "$(dirname "$exe")/clutterix.exe" ]; then
    from=$(dirname "$exe")
  fi
  [ -n "$from" ] || return 0
  [ -f "$from/clutterix.exe" ] || die "no clutterix.exe in $from"
  local to="$prefix/drive_c/Program Files/Clutterix"
  sync_file "$from/clutterix.exe" "$to/clutterix.exe"
  local d
  for d in config images lang; do
    if [ -d "$from/$d" ]; then sync_dir "$from/$d" "$to/$d"; else rm -rf "${to:?}/$d"; fi
  done
}

# --- Run -------------------------------------------------------------------------------------
lock_prefix
use_display
if [ "$mode" = display ]; then
  echo "$DISPLAY"
  exit 0
fi
[ -z "$fresh" ] || rm -f "$prefix/.cx-bench"
if [ "$(cat "$prefix/.cx-bench" 2>/dev/null)" != "$(bench_stamp)" ]; then
  make_prefix
  start_session
  configure_prefix
  bench_stamp >"$prefix/.cx-bench"
else
  start_session
fi
end_leftovers
install_program
flock -u 9
exec 9>&-

if [ -n "${CX_SCREENSHOTS:-}" ]; then
  mkdir -p "$here/screenshots"
  # Without a Z: drive Wine still opens Unix paths through its \\?\unix\ namespace.
  export CX_SCREENSHOT_DIR="\\\\?\\unix${here//\//\\}\\screenshots"
fi

# Programs start in C:\ (a Unix working directory would have no drive letter).
cd "$prefix/drive_c"
if [ "$lanes" -gt 1 ] || [ -n "$fresh" ]; then # the lane stays held until the program has ended
  status=0
  "$wine" "$exe" "$@" 8>&- || status=$?
  if [ -n "$fresh" ]; then # nothing of this prefix outlives the run
    end_session
    read -r xpid _ 2>/dev/null <"$xvfb_state" || true
    if alive "${xpid:-}" Xvfb; then kill "$xpid"; fi
    rm -f "$xvfb_state"
  fi
  exit $status
fi
exec "$wine" "$exe" "$@"
