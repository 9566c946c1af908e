#!/usr/bin/env bash
# Takes screenshots of the real program under Wine and Xvfb, as a person sees it: the settings
# page, the about box, both tabs of the options dialog, the scanning and results pages, and the
# alert that a cleaning run with nothing ticked shows. They land in screenshots/ (not committed).
# Uses the build of ./test or ./run (build/win32, or build/win64) and a prefix of its own.
# `screenshots.sh de` shows the program in another language (a catalogue of data/lang/): Wine
# starts it in that locale, and the pictures' names end in "-de".
set -euo pipefail
cd "$(dirname "$0")/.."
missing=
for tool in import xdotool; do command -v $tool >/dev/null || missing=1; done
if [ -n "$missing" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick xdotool x11-apps fonts-dejavu-core >/dev/null
fi
target=$(scripts/wine-target.sh) # win32, or win64 where the kernel cannot run 32-bit programs
[ -f "build/$target/clutterix.exe" ] || { echo "screenshots: build first (./test or ./run)" >&2; exit 1; }
lang=${1:-}
suffix=${lang:+-$lang}
if [ -n "$lang" ]; then
  [ -f "data/lang/$lang.po" ] || { echo "screenshots: no catalogue data/lang/$lang.po" >&2; exit 1; }
  export LANG=${lang/-/_}
  case "$LANG" in *_*) ;; *) LANG=${LANG}_$(echo "$LANG" | tr a-z A-Z) ;; esac
  case "$LANG" in ja_JA) LANG=ja_JP ;; ko_KO) LANG=ko_KR ;; esac
  export LANG=$LANG.UTF-8 LC_ALL=$LANG.UTF-8
fi
# A window's title in the program's language.
title() {
  [ -n "$lang" ] || { echo "$1"; return; }
  python3 - "data/lang/$lang.po" "$1" <<'PO'
import ast, re, sys
text, wanted, found = open(sys.argv[1], encoding="utf-8").read(), sys.argv[2], sys.argv[2]
for m in re.finditer(r'^msgid (".*")\nmsgstr (".*")$', text, re.M):
    if ast.literal_eval(m.group(1)) == wanted and ast.literal_eval(m.group(2)):
        found = ast.literal_eval(m.group(2))
print(found)
PO
}
mkdir -p screenshots
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
prefix=$PWD/build/shots-prefix
cleanup() {
  scripts/wine-run.sh --stop "$prefix" >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
# The prefix is made (or checked) first, so that a Temp folder can be filled before the program
# starts: a tree that takes the scan a few seconds, so that the scanning page can be seen.
CX_INSTALL_FROM=$PWD/build/$target scripts/wine-run.sh "$prefix" 'C:\windows\system32\cmd.exe' /c exit >/dev/null 2>&1
profile=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
temp_tree="$profile/AppData/Local/Temp/shots"
rm -rf "$temp_tree"
# 4,000 folders of 8 files: on a fast machine a smaller tree was scanned before the shot.
python3 - "$temp_tree" <<'TREE'
import os, sys
for d in range(1, 4001):
    folder = os.path.join(sys.argv[1], "d%d" % d, "e")
    os.makedirs(folder)
    for f in range(1, 9):
        with open(os.path.join(folder, "f%d.tmp" % f), "w") as out:
            out.write("garbage\n")
TREE
CX_INSTALL_FROM=$PWD/build/$target scripts/wine-run.sh "$prefix" "C:\\Program Files\\Clutterix\\clutterix.exe" &

# Waits for a window by title (up to $2 tenths of a second, 30 s by default); then its top-left
# corner is in $wx, $wy.
wait_window() {
  local id= tries=${2:-300}
  for _ in $(seq 1 "$tries"); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1) && [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "${id:-}" ] || { [ -n "${2:-}" ] && return 1; echo "screenshots: no window \"$1\"" >&2; exit 1; }
  eval "$(xdotool getwindowgeometry --shell "$id")"
  wx=$X wy=$Y
  sleep 1  # let it paint
}
shot() { import -window root "screenshots/$1$suffix.png"; echo "screenshots/$1$suffix.png"; }
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; }
# Clicks until the window named $3 opens (the first click may come before the program listens).
click_for() {
  local x=$wx y=$wy
  for _ in 1 2 3 4 5; do
    wx=$x wy=$y
    click "$1" "$2"
    wait_window "$3" 60 && return 0
  done
  echo "screenshots: no window \"$3\"" >&2
  exit 1
}

wait_window Clutterix
main_x=$wx main_y=$wy
shot settings-page
# The hints of the categories with the longest texts, shown while the pointer is over their boxes.
for hint in 234:internet 257:temp 326:update; do
  xdotool mousemove $((wx + 270)) $((wy + ${hint%%:*}))
  sleep 1
  shot "settings-hint-${hint#*:}"
  xdotool mousemove $((wx + 5)) $((wy + 5))
  sleep 0.5
done
xdotool mousemove $((wx + 5)) $((wy + 5))
click_for 20 101 "$(title About)"
shot about-box
xdotool key --window "$(xdotool search --name "^$(title About)\$" | tail -n 1)" alt+F4 || true
wx=$main_x wy=$main_y
sleep 1
click_for 290 347 "$(title Options)"
shot options-other
click 30 60 # the "Scan" tab, at the top left of the page control
sleep 1
shot options-scan
xdotool key --window "$(xdotool search --name "^$(title Options)\$" | tail -n 1)" alt+F4 || true
wx=$main_x wy=$main_y
sleep 1
click 534 260 # the start picture
sleep 1
shot scanning-page
sleep 30
shot results-page
click_for 375 462 "$(title "Cannot start cleaning")" # Clean Selected with nothing ticked
shot alert-dialog
