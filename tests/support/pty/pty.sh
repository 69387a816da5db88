# Pairs of ptys for the serial tests, and COM ports of the Wine prefix mapped to them.
# Sourced after scripts/wine-env (it uses WINEPREFIX, map_com_port and unmap_com_port).
#
#   pty_pair_create DIR       starts socat with two linked ptys DIR/near and DIR/far
#   pty_pair_remove DIR       stops that socat and removes DIR
#   pty_com_take FIRST LAST DEVICE
#                             maps the first unmapped COMn, FIRST <= n <= LAST, to DEVICE and
#                             prints n (fails when every one is taken); a port left mapped by a
#                             run that has died, or by no run, is taken back
#   pty_com_release N         unmaps COMn again
#
# Only ptys are ever mapped: DEVICE must be a pty that this script made.

PTY_OWNER_PID="${PTY_OWNER_PID:-$$}"

pty_pair_create() {
    local dir="$1" i
    mkdir -p "$dir"
    socat pty,raw,echo=0,link="$dir/near" pty,raw,echo=0,link="$dir/far" 2>"$dir/socat.log" &
    echo $! >"$dir/socat.pid"
    for i in $(seq 100); do
        [ -L "$dir/near" ] && [ -L "$dir/far" ] && break
        sleep 0.05
    done
    if ! [ -L "$dir/near" ] || ! [ -L "$dir/far" ]; then
        echo "pty: socat made no pty pair" >&2
        cat "$dir/socat.log" >&2
        return 1
    fi
    # Each end is held open, so that socat keeps going while the programs open and close the ports,
    # and held as the controlling terminal of a session of its own, so that no other process (the
    # wineserver opens the devices) takes it as its own and gets a hang-up signal when the pair goes.
    local end
    for end in near far; do
        setsid bash -c 'exec 0<>"$1"; echo $$ >"$2"; exec sleep 2147483647' pty-hold "$dir/$end" \
            "$dir/$end.hold" </dev/null >/dev/null 2>&1 &
    done
    for i in $(seq 100); do
        [ -s "$dir/near.hold" ] && [ -s "$dir/far.hold" ] && break
        sleep 0.02
    done
}

pty_pair_remove() {
    local dir="$1" pid file
    for file in "$dir/near.hold" "$dir/far.hold" "$dir/socat.pid"; do
        [ -s "$file" ] || continue
        read -r pid <"$file"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$dir"
}

pty_is_ours() {
    local target
    target="$(readlink -f "$1")" || return 1
    case "$target" in /dev/pts/[0-9]*) return 0 ;; *) return 1 ;; esac
}

pty_com_take() {
    local first="$1" last="$2" device="$3" n
    pty_is_ours "$device" || {
        echo "pty: $device is not a pty" >&2
        return 1
    }
    mkdir -p "$WINEPREFIX/ports"
    (
        flock 8
        local owner
        for n in $(seq "$first" "$last"); do
            # An unmapped port is a directory; a mapped one a link, with the pid of its run beside it. A
            # link without that pid is no run's (a run maps and writes the pid under this lock): stale.
            if [ -L "$WINEPREFIX/dosdevices/com$n" ]; then
                owner="$(cat "$WINEPREFIX/ports/com$n.owner" 2>/dev/null || true)"
                [ -n "$owner" ] && kill -0 "$owner" 2>/dev/null && continue
                unmap_com_port "$n"
                rm -f "$WINEPREFIX/ports/com$n.owner"
            fi
            if [ -d "$WINEPREFIX/dosdevices/com$n" ]; then
                map_com_port "$n" "$(readlink -f "$device")" || exit 1
                echo "$PTY_OWNER_PID" >"$WINEPREFIX/ports/com$n.owner"
                echo "$n"
                exit 0
            fi
        done
        echo "pty: no free COM port in $first..$last" >&2
        exit 1
    ) 8>"$WINEPREFIX/ports/.lock"
}

pty_com_release() {
    (
        flock 8
        unmap_com_port "$1"
        rm -f "$WINEPREFIX/ports/com$1.owner"
    ) 8>"$WINEPREFIX/ports/.lock"
}

# The Windows name of a unix path in the prefix (drive Z: is the root).
pty_windows_path() { printf 'Z:%s' "${1//\//\\}"; }
