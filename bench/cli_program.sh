#!/usr/bin/env bash
# Peak memory and wall time of velmora-cli for `program` of a full image on the simulated
# chip (erase, program 262,144 bytes, verify), and the same from a file four times as long
# (the last 262,144 bytes): the image is streamed, so the peak must not grow with the file.
#   bench/cli_program.sh [BUILD_DIR]      (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cli=$build/platform/cli/velmora-cli
if [ ! -x "$cli" ]; then
    echo "no $cli: build it first (cmake --build $build --target velmora-cli)" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 262144 /dev/urandom >"$work/image.bin"
head -c 1048576 /dev/urandom >"$work/long.bin"

# One run: prints "<label> <seconds> <peak KiB>"; the program must succeed.
measure() {
    local label=$1
    shift
    rm -f "$work/chip.bin"
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f "%e %M" -o "$work/time.txt" "$cli" -q --simulate="$work/chip.bin" "$@" >/dev/null
        read -r seconds kib <"$work/time.txt"
    else
        local start end
        start=$(date +%s.%N)
        "$cli" -q --simulate="$work/chip.bin" "$@" >/dev/null
        end=$(date +%s.%N)
        seconds=$(echo "$end - $start" | bc)
        kib="?"
    fi
    printf '%-34s %8s s %10s KiB peak\n' "$label" "$seconds" "$kib"
}

measure "id (start-up only)" id
measure "program 256 KiB image" program "$work/image.bin"
measure "program last 256 KiB of 1 MiB file" program --from-end "$work/long.bin"
measure "read 256 KiB" read "$work/dump.bin"
