#!/usr/bin/env bash
# The serial peer on the far end of a pty pair: it answers a mode switch written on the near end
# and, in an active mode, reports tags by itself.
set -euo pipefail
peer="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/pty/pty.sh"
work="$(mktemp -d /tmp/serialpeer-test.XXXXXX)"
peer_pid=""
cleanup() {
    [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null && wait "$peer_pid" 2>/dev/null
    pty_pair_remove "$work/pair"
    rm -rf "$work"
}
trap cleanup EXIT

pty_pair_create "$work/pair"
near="$work/pair/near"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Reads `count` bytes from the near end as hex, or what came within the time.
read_hex() { timeout "$2" head -c "$1" <"$near" | od -An -v -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//' || true; }

# True once process $1 holds the far end open (what it is sent before waits in the pty meanwhile).
holds_far_end() {
    local far fd
    far="$(readlink -f "$work/pair/far")"
    for fd in /proc/"$1"/fd/*; do [ "$(readlink "$fd" 2>/dev/null)" = "$far" ] && return 0; done
    return 1
}

"$peer" --period-ms 0 "$work/pair/far" &
peer_pid=$!
for _ in $(seq 500); do holds_far_end "$peer_pid" && break; sleep 0.02; done
holds_far_end "$peer_pid" || fail "the peer did not open its end"
printf '\xbb\x00\xc1\x00\x01\x00\xc2\x7e' >"$near"
got="$(read_hex 8 5)"
[ "$got" = "bb 01 c1 00 01 00 c3 7e" ] || fail "work-mode reply: '$got'"
printf '\xbb\x00\xc2\x00\x01\x00\xc3\x7e' >"$near"
got="$(read_hex 8 5)"
[ "$got" = "bb 01 c2 00 01 00 c4 7e" ] || fail "switch-to-HID reply: '$got'"
kill "$peer_pid"; wait "$peer_pid" 2>/dev/null || true; peer_pid=""

"$peer" --period-ms 100 --epc "00 00 00 00 00 00 00 00 00 00 00 2A" "$work/pair/far" &
peer_pid=$!
got="$(read_hex 24 5)"
case "$got" in
"bb 02 22 00 11 c8 30 00 00 00 00 00 00 00 00 00 00 00 00 2a "*) ;;
*) fail "tag report: '$got'" ;;
esac
echo "serial peer answers and reports"
