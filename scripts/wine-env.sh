#!/usr/bin/env bash
# A throwaway Windows environment for end-to-end runs: a Wine prefix of its
# own and a user-mode PulseAudio with a null sink whose monitor can be
# recorded. Everything lives in one state folder and everything started is
# stopped again by process id. See docs/wine.md.
#
#   wine-env.sh available               exit 0 when wine64 and pulseaudio are here, 77 if not
#   wine-env.sh start DIR               new prefix and sound server in DIR (removed first)
#   wine-env.sh run DIR PROGRAM [ARG...] runs a Windows program (from the current folder)
#   wine-env.sh record-start DIR FILE [CHANNELS]  records the null sink: raw s16le, 44100 Hz, mono (or 2)
#   wine-env.sh record-stop DIR         stops that recording
#   wine-env.sh leftovers DIR           lists processes of DIR still running; exit 1 if any
#   wine-env.sh stop DIR                stops all of DIR's processes, checks, removes DIR
#
# Nothing is exported to the caller: each command gets its environment from
# DIR alone, so several folders can be used side by side.
set -euo pipefail

readonly skipCode=77
readonly sinkName=kobnull

die() { echo "wine-env: $*" >&2; exit 1; }

# Debian installs the 64-bit loader outside PATH.
findTool() {
    local name
    for name in "$@"; do
        if command -v "$name" >/dev/null 2>&1; then command -v "$name"; return 0; fi
        if [ -x "/usr/lib/wine/$name" ]; then echo "/usr/lib/wine/$name"; return 0; fi
    done
    return 1
}

wine64Path() { findTool wine64; }
wineserverPath() { findTool wineserver64 wineserver; }

available() {
    local missing=()
    wine64Path >/dev/null || missing+=(wine64)
    wineserverPath >/dev/null || missing+=(wineserver)
    command -v pulseaudio >/dev/null || missing+=(pulseaudio)
    command -v parec >/dev/null || missing+=(parec)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "wine-env: not installed: ${missing[*]} (scripts/install-deps.sh installs them)" >&2
        return "$skipCode"
    fi
}

# The environment every command of DIR runs in. HOME and the runtime folders
# point inside DIR, so nothing of the user's own sound server or home is used.
setPaths() {
    [ -n "${1:-}" ] || die "no state folder given"
    dir=$(realpath -m "$1")
    prefix=$dir/prefix
    pulseDir=$dir/xdg/pulse
    envVars=(
        HOME="$dir/home"
        XDG_RUNTIME_DIR="$dir/xdg"
        PULSE_RUNTIME_PATH="$pulseDir"
        PULSE_STATE_PATH="$dir/pulse-state"
        PULSE_SERVER="unix:$pulseDir/native"
        WINEPREFIX="$prefix"
        WINESERVER="$(wineserverPath)"
        WINEDEBUG=-all
        WINEDLLOVERRIDES="mscoree,mshtml="
        DISPLAY=
        WAYLAND_DISPLAY=
    )
}

inEnv() { env "${envVars[@]}" "$@"; }

isRunning() {
    local pid=$1 state
    [ -r "/proc/$pid/stat" ] || return 1
    state=$(sed -E 's/^[0-9]+ \(.*\) ([A-Za-z]).*/\1/' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ "$state" != Z ] && [ "$state" != X ]
}

# Stops one process: the signal, then up to 5 s of waiting, then SIGKILL.
stopPid() {
    local pid=$1 signal=${2:-TERM} i
    [ -n "$pid" ] || return 0
    isRunning "$pid" || return 0
    kill -s "$signal" "$pid" 2>/dev/null || true
    for i in $(seq 50); do isRunning "$pid" || return 0; sleep 0.1; done
    echo "wine-env: process $pid ignored SIG$signal, killing it" >&2
    kill -s KILL "$pid" 2>/dev/null || true
    for i in $(seq 20); do isRunning "$pid" || return 0; sleep 0.1; done
    die "process $pid does not stop"
}

start() {
    setPaths "$1"
    available || exit $?
    [ -d "$dir" ] && stop "$dir"
    # A start that fails part way stops what it had started: nothing is left
    # running behind a failed test.
    trap 'status=$?; [ "$status" -eq 0 ] || stop "$dir" >/dev/null 2>&1; exit "$status"' EXIT
    mkdir -p "$dir/home" "$dir/pulse-state" "$pulseDir"
    chmod 700 "$dir/xdg" "$pulseDir"

    # Nothing started here keeps the caller's output open (CTest waits for it
    # to close): each process gets /dev/null or a log file.
    # The sound server: no default script, a null sink and the local socket.
    # Root is allowed in user mode with a warning; that is how CI runs.
    inEnv pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes \
        --log-target="file:$dir/pulseaudio.log" \
        -L "module-null-sink sink_name=$sinkName rate=44100 channels=2" \
        -L "module-native-protocol-unix auth-anonymous=1" </dev/null >>"$dir/pulseaudio.log" 2>&1 \
        || die "pulseaudio did not start (see $dir/pulseaudio.log)"
    inEnv pulseaudio --check || die "pulseaudio is not running (see $dir/pulseaudio.log)"

    # One wineserver for the folder's lifetime, so programs start quickly. It
    # needs the prefix folder, and returns once it accepts clients; started
    # after wineboot it would race the short-lived server wineboot starts.
    mkdir -p "$prefix"
    inEnv "$(wineserverPath)" -p </dev/null >"$dir/wineserver.log" 2>&1 || die "wineserver did not start"
    serverPid >"$dir/wineserver.pid" || die "wineserver is not running"
    # No display: the null graphics driver still lets programs create (hidden)
    # windows, which a sound device's cooperative level wants. Chosen before
    # wineboot, whose desktop process would otherwise stay on the driver that
    # failed, and the first window of a program would fail with it.
    # The first program in a new prefix sets the prefix up; on a busy machine
    # that has once failed outright, so it gets two more tries.
    local attempt
    : >"$dir/wineboot.log"
    for attempt in 1 2 3; do
        inEnv "$(wine64Path)" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
            </dev/null >>"$dir/wineboot.log" 2>&1 && break
        if [ "$attempt" -eq 3 ]; then
            tail -n 20 "$dir/wineboot.log" >&2
            die "could not select the null graphics driver"
        fi
        sleep 2
    done
    inEnv "$(wine64Path)" wineboot --init </dev/null >>"$dir/wineboot.log" 2>&1 \
        || die "wineboot failed (see $dir/wineboot.log)"
    # The desktop process wineboot started ends a few seconds later by itself;
    # a program that wants a window before then fails to get one. The next
    # program starts a desktop of its own.
    local i
    for i in $(seq 150); do desktopPids | grep -q . || break; sleep 0.1; done
    # A new desktop process takes about 10 s to start here (it waits for an RPC
    # service that never answers), ends a few seconds after its last program,
    # and keeps the output of the program that started it open (CTest would
    # wait for it). So one program started here holds the desktop for the
    # folder's lifetime, and we wait until the desktop answers: a program that
    # asks for the desktop window blocks until then. wineserver -k ends both.
    inEnv "$(wine64Path)" notepad.exe </dev/null >"$dir/desktop-holder.log" 2>&1 &
    echo $! >"$dir/desktop-holder.pid"
    inEnv "$(wine64Path)" rundll32.exe user32.dll,GetDesktopWindow </dev/null >>"$dir/desktop-holder.log" 2>&1 \
        || die "the desktop did not start (see $dir/desktop-holder.log)"
    trap - EXIT
    echo "wine-env: ready in $dir"
}

# The wineserver of this prefix, found by the prefix in its environment.
serverPid() {
    local comm pid name
    for comm in /proc/[0-9]*/comm; do
        pid=${comm#/proc/}
        pid=${pid%/comm}
        { read -r name <"$comm"; } 2>/dev/null || continue
        [[ "$name" == wineserver* ]] || continue
        hasEnv "$pid" "WINEPREFIX=$prefix" && isRunning "$pid" && { echo "$pid"; return 0; }
    done
    return 1
}

# The prefix's desktop process (explorer.exe /desktop), if running.
desktopPids() {
    local cmdline pid
    for cmdline in /proc/[0-9]*/cmdline; do
        pid=${cmdline#/proc/}
        pid=${pid%/cmdline}
        { tr '\0' ' ' <"$cmdline"; } 2>/dev/null | grep -q 'explorer.exe /desktop' || continue
        hasEnv "$pid" "WINEPREFIX=$prefix" && isRunning "$pid" && echo "$pid"
    done
    return 0
}

hasEnv() {
    { tr '\0' '\n' <"/proc/$1/environ"; } 2>/dev/null | grep -qxF -e "$2" ${3:+-e "$3"}
}

run() {
    setPaths "$1"
    shift
    [ -d "$prefix" ] || die "no prefix in $dir: run start first"
    inEnv "$(wine64Path)" "$@"
}

recordStart() {
    setPaths "$1"
    [ -n "${2:-}" ] || die "no recording file given"
    local file channels=${3:-1}
    [[ "$channels" == 1 || "$channels" == 2 ]] || die "CHANNELS is 1 or 2, not $channels"
    file=$(realpath -m "$2")
    [ -e "$dir/parec.pid" ] && recordStop "$dir"
    # Started directly (no function or subshell between), so $! is parec itself.
    env "${envVars[@]}" parec --device="$sinkName.monitor" --raw --format=s16le --channels="$channels" --rate=44100 \
        --latency-msec=20 "$file" </dev/null >/dev/null 2>"$dir/parec.log" &
    echo $! >"$dir/parec.pid"
    echo "$file" >"$dir/parec.file"
    echo "$channels" >"$dir/parec.channels"
    # The stream connects at once, but sound flows only a moment later: sound
    # played before the first bytes arrive would be lost.
    local i
    for i in $(seq 100); do
        if [ -s "$file" ]; then
            date +%s%N >"$dir/parec.started"
            return 0
        fi
        sleep 0.05
    done
    die "parec records nothing (see $dir/parec.log)"
}

recordStop() {
    setPaths "$1"
    [ -e "$dir/parec.pid" ] || return 0
    # The sink's monitor hands sound over late and in bursts: wait until the
    # file holds as much as has been played since the recording started, and
    # a tenth of a second more (88200 bytes a second per channel), or 5 s at most.
    local file started now wanted i channels
    file=$(cat "$dir/parec.file")
    channels=$(cat "$dir/parec.channels" 2>/dev/null || echo 1)
    started=$(cat "$dir/parec.started")
    now=$(date +%s%N)
    wanted=$(( (now - started + 100000000) * 88200 * channels / 1000000000 ))
    for i in $(seq 50); do
        [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" -ge "$wanted" ] && break
        sleep 0.1
    done
    # A background job ignores SIGINT; parec ends cleanly on SIGTERM too.
    stopPid "$(cat "$dir/parec.pid")" TERM
    rm -f "$dir/parec.pid" "$dir/parec.file" "$dir/parec.started" "$dir/parec.channels"
}

# Processes of this folder still alive: any whose environment names its prefix
# or its sound server, and any whose command line names the folder (pulseaudio
# and parec do). Zombies have ended and are not counted.
leftovers() {
    setPaths "$1"
    local pids=() pid environ name
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" = $$ ] && continue
        hasEnv "$pid" "WINEPREFIX=$prefix" "PULSE_RUNTIME_PATH=$pulseDir" && pids+=("$pid")
    done
    # pgrep runs as a direct child: a command substitution would be a copy of
    # this script, whose command line names the folder too.
    local matches
    matches=$(mktemp)
    pgrep -f -- "$dir" >"$matches" || true
    mapfile -t -O "${#pids[@]}" pids <"$matches"
    rm -f "$matches"
    # This script and whatever called it name the folder as well.
    local ancestors=" " parent=$$
    while [ -n "$parent" ] && [ "$parent" != 0 ]; do
        ancestors+="$parent "
        parent=$(awk '{print $4}' "/proc/$parent/stat" 2>/dev/null || true)
    done
    local found=0
    for pid in $(printf '%s\n' "${pids[@]}" | sort -un); do
        [[ "$ancestors" == *" $pid "* ]] && continue
        isRunning "$pid" || continue
        found=1
        echo "wine-env: still running: $pid $({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null)" >&2
    done
    return $found
}

stop() {
    setPaths "$1"
    [ -d "$dir" ] || return 0
    recordStop "$dir"
    # wineserver -k ends every Windows process of the prefix, then itself.
    if [ -e "$dir/wineserver.pid" ]; then
        inEnv "$(wineserverPath)" -k 2>/dev/null || true
        stopPid "$(cat "$dir/wineserver.pid")"
        rm -f "$dir/wineserver.pid"
    fi
    if [ -e "$pulseDir/pid" ]; then
        stopPid "$(cat "$pulseDir/pid")"
    fi
    # Processes the prefix started that outlived their server.
    local i
    for i in $(seq 30); do leftovers "$dir" 2>/dev/null && break; sleep 0.1; done
    leftovers "$dir" || die "processes of $dir are still running"
    rm -rf "$dir"
    echo "wine-env: stopped, nothing left running"
}

command=${1:-}
shift || true
case "$command" in
    available) available ;;
    start) start "$@" ;;
    run) run "$@" ;;
    record-start) recordStart "$@" ;;
    record-stop) recordStop "$@" ;;
    leftovers) leftovers "$@" ;;
    stop) stop "$@" ;;
    *) sed -n '2,16p' "$0" >&2; exit 2 ;;
esac
