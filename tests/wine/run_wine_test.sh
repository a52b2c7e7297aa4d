#!/usr/bin/env bash
# Runs one Windows test program with a Glide library (tessel2.dll or tessel3.dll) under Wine,
# in a virtual desktop on a private Xvfb display, and serves its screen-capture requests
# (see wine_harness.h).
#
#   run_wine_test.sh <program.exe> <tesselN.dll> <state-dir> [timeout-seconds]
#
# <state-dir> (the build folder) keeps the Wine prefix (made once, then reused), the
# working folders wine-run/<program>/ and the captures wine-out/<name>.png. Captures are
# also copied to $KESTRIX_OUT_DIR when that is set. $KESTRIX_WINE_EXTRA_FILES lists further
# files to copy into the working folder. Fails when the program fails or
# does not report its exit code, when a pixel check fails, or on a timeout.
set -u

die() {
    echo "run_wine_test: FAIL: $*" >&2
    exit 1
}

# The library's own log, for a failure that the program's output alone does not explain.
show_library_log() {
    [ -f kestrix.log ] || return 0
    echo "----- kestrix.log -----"
    head -c 6000 kestrix.log | tr -d '\r'
    echo "-----------------------"
}

[ $# -ge 3 ] || die "usage: run_wine_test.sh <program.exe> <tesselN.dll> <state-dir> [timeout-seconds]"
program=$(readlink -f "$1")
dll=$(readlink -f "$2")
state=$(mkdir -p "$3" && readlink -f "$3")
timeout_s=${4:-180}
here=$(dirname "$(readlink -f "$0")")

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}
DESKTOP_SIZE=${KESTRIX_DESKTOP_SIZE:-640x480}
SCREEN_SIZE=${KESTRIX_SCREEN_SIZE:-1024x768}
# KESTRIX_DESKTOP=none runs the program on the plain X screen, as a windowed game runs on a user's desktop.
VIRTUAL_DESKTOP=${KESTRIX_DESKTOP:-virtual}

[ -f "$program" ] || die "no program at $1"
[ -f "$dll" ] || die "no DLL at $2"
# A machine without the tools skips (exit 77) rather than fails, unless KESTRIX_REQUIRE_WINE=1.
missing_tool() {
    if [ "${KESTRIX_REQUIRE_WINE:-0}" = 1 ]; then die "$*"; fi
    echo "run_wine_test: SKIP: $*" >&2
    exit 77
}
[ -x "$WINE64" ] || missing_tool "no Wine loader at $WINE64 (apt-get install wine64)"
command -v Xvfb >/dev/null || missing_tool "Xvfb is not installed (apt-get install xvfb)"
command -v import >/dev/null || missing_tool "ImageMagick's import is not installed (apt-get install imagemagick)"
command -v python3 >/dev/null || missing_tool "python3 is not installed"

name=$(basename "$program" .exe)
prefix=$state/wine-prefix
outdir=$state/wine-out
rundir=$state/wine-run/$name
mkdir -p "$outdir"

# One Wine session at a time per state folder: the prefix has a single wineserver.
exec 9>"$state/wine.lock"
if command -v flock >/dev/null; then
    flock -w 900 9 || die "another Wine test held $state/wine.lock for 15 minutes"
fi

export WINEPREFIX=$prefix
export WINEDEBUG=${KESTRIX_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

# A wineserver left over from an interrupted run would hold the old desktop: end it.
[ -d "$prefix" ] && timeout 20 "$WINESERVER" -k >/dev/null 2>&1

xvfb_pid=""
wine_pid=""
cleanup() {
    if [ -n "$wine_pid" ] && kill -0 "$wine_pid" 2>/dev/null; then
        kill -TERM "$wine_pid" 2>/dev/null
    fi
    if [ -d "$prefix" ]; then
        timeout 20 "$WINESERVER" -k >/dev/null 2>&1
        timeout 20 "$WINESERVER" -w >/dev/null 2>&1
    fi
    if [ -n "$xvfb_pid" ]; then
        kill -TERM "$xvfb_pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Start Xvfb on the first display number that is free and takes it.
display=""
for n in $(seq 91 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${SCREEN_SIZE}x24" -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
done
[ -n "$display" ] || die "could not start Xvfb on any display from :91 to :160 ($(tail -3 "$state/xvfb.log"))"
export DISPLAY=$display

# Make the prefix once; later runs reuse it.
if [ ! -f "$prefix/.kestrix-ready" ]; then
    echo "run_wine_test: making the Wine prefix $prefix (once)"
    rm -rf "$prefix"
    timeout 300 "$WINE64" wineboot -i >"$state/wineboot.log" 2>&1 ||
        die "wineboot failed or timed out; see $state/wineboot.log"
    timeout 120 "$WINESERVER" -w || die "wineserver did not settle after wineboot"
    touch "$prefix/.kestrix-ready"
fi

rm -rf "$rundir"
mkdir -p "$rundir"
# The import library names the DLL glideNx.dll (the LIBRARY line of the .def, the name
# games load) for tesselN.dll; keep the build name beside it too.
glide_name=$(basename "$dll" | sed -n 's/^tessel\([0-9]\)\.dll$/glide\1x.dll/p')
cp "$program" "$rundir/"
cp "$dll" "$rundir/${glide_name:-glide2x.dll}"
cp "$dll" "$rundir/$(basename "$dll")"
# Further files a test needs beside its program (space-separated paths), such as a second program to drive.
for extra in ${KESTRIX_WINE_EXTRA_FILES:-}; do
    cp "$extra" "$rundir/" || die "cannot copy $extra into the run folder"
done
cd "$rundir" || die "cannot enter $rundir"

# The desktop window sits at the top-left corner of the Xvfb screen; without one the whole screen is captured.
crop="${DESKTOP_SIZE}+0+0"
[ "$VIRTUAL_DESKTOP" = none ] && crop="${SCREEN_SIZE}+0+0"
failures=0
captures=0
captured=()

serve_capture() {
    local request=$1 cname png expect verdict rc
    cname=${request#capture-request-}
    rm -f "$request"
    png=$outdir/$cname.png
    expect=expect-$cname.txt
    sleep 0.5 # let the last present reach the X server
    # png24: keeps 8-bit RGB even for a flat screen, which ImageMagick would store as 1-bit grey.
    if ! timeout 30 import -window root -display "$display" -crop "$crop" +repage "png24:$png" 2>import.err; then
        verdict="capture failed: $(head -2 import.err | tr '\n' ' ')"
        failures=$((failures + 1))
    elif [ -s "$expect" ]; then
        verdict=$(python3 "$here/check_pixels.py" "$png" "$expect")
        rc=$?
        if [ $rc -eq 0 ]; then
            echo "run_wine_test: $cname: $verdict"
            verdict=ok
        else
            failures=$((failures + 1))
        fi
    else
        verdict=ok
    fi
    captures=$((captures + 1))
    captured+=("$png")
    echo "run_wine_test: captured $png: $verdict"
    printf '%s\n' "$verdict" >"capture-done-$cname.tmp"
    mv "capture-done-$cname.tmp" "capture-done-$cname"
}

run_program() {
    rm -f program-started exit-code.txt program.log
    if [ "$VIRTUAL_DESKTOP" = none ]; then
        timeout -k 10 "$timeout_s" "$WINE64" "$(basename "$program")" >program.log 2>&1 &
    else
        timeout -k 10 "$timeout_s" "$WINE64" explorer "/desktop=kestrix,$DESKTOP_SIZE" "$(basename "$program")" \
            >program.log 2>&1 &
    fi
    wine_pid=$!

    local deadline=$((SECONDS + timeout_s + 15))
    while kill -0 "$wine_pid" 2>/dev/null; do
        for request in capture-request-*; do
            [ -e "$request" ] || continue
            case "$request" in *.tmp) continue ;; esac
            serve_capture "$request"
        done
        if [ $SECONDS -gt $deadline ]; then
            echo "run_wine_test: $name still running after ${timeout_s}s" >&2
            break
        fi
        sleep 0.1
    done
    wait "$wine_pid"
    wine_rc=$?
    wine_pid=""
}

echo "run_wine_test: running $name in $rundir on display $display"
run_program
# Wine has been seen to end at once, printing nothing, before the program's first line ran (once on a fresh CI
# machine). Only that case is started once more; a program that ran and crashed fails.
if [ ! -f program-started ] && [ ! -f exit-code.txt ] && [ ! -s program.log ] && [ $captures -eq 0 ] &&
    [ $wine_rc -ne 124 ] && [ $wine_rc -ne 137 ]; then
    echo "run_wine_test: Wine ended (status $wine_rc) before $name started; starting it once more"
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1
    timeout 20 "$WINESERVER" -w >/dev/null 2>&1
    run_program
fi

echo "----- $name output -----"
cat program.log
echo "------------------------"

if [ -n "${KESTRIX_OUT_DIR:-}" ]; then
    mkdir -p "$KESTRIX_OUT_DIR"
    for png in "${captured[@]}"; do
        [ -e "$png" ] && cp "$png" "$KESTRIX_OUT_DIR/"
    done
fi

[ $wine_rc -ne 124 ] && [ $wine_rc -ne 137 ] || die "$name timed out after ${timeout_s}s"
[ -f exit-code.txt ] || die "$name ended (Wine exit status $wine_rc) without reporting its exit code; it crashed or" \
    "never ran (rerun with KESTRIX_WINEDEBUG=err+all,+loaddll,+seh for Wine's view)"
code=$(tr -dc '0-9-' <exit-code.txt)
[ "$code" = 0 ] || { show_library_log; die "$name exited with code $code"; }
[ $failures -eq 0 ] || { show_library_log; die "$failures of $captures captures failed their pixel checks"; }
if [ -f expect-log.txt ]; then
    python3 "$here/check_log.py" kestrix.log expect-log.txt || {
        show_library_log
        die "kestrix.log lacks what $name expected"
    }
fi
leftover=$(ls capture-request-* 2>/dev/null)
[ -z "$leftover" ] || die "unanswered capture requests: $leftover"
echo "run_wine_test: OK: $name passed ($captures captures)"
exit 0
