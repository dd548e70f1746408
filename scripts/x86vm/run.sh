#!/usr/bin/env bash
# Boots the x86 test guest, runs one script of the project in it and powers
# off: run.sh [--keep] [--guest DIR] [--timeout S] [--rundir DIR] SCRIPT [ARGS].
# The project folder is shared with the guest at its own path. The guest
# boots as a throw-away snapshot (--keep writes to the image: only the first
# boot that makes the Wine prefix). Exits with the script's status; a guest
# that does not finish in time is stopped, and a guest that ends without a
# status shows its console log.
set -euo pipefail
source "$(dirname "$0")/common.sh"
keep=0 guest='' limit=3600
rundir=$PROJECT_ROOT/${TAVREL_BUILD_ROOT:-build}/x86vm
while [ $# -gt 0 ]; do
    case $1 in
        --keep) keep=1; shift ;;
        --guest) guest=$2; shift 2 ;;
        --timeout) limit=$2; shift 2 ;;
        --rundir) rundir=$2; shift 2 ;;
        *) break ;;
    esac
done
guest=${guest:-$(guest_dir)}
script=$(realpath "$1")
shift
case $script in "$PROJECT_ROOT"/*) ;; *) echo "run.sh: $script is outside $PROJECT_ROOT" >&2; exit 2 ;; esac
mkdir -p "$rundir"
rundir=$(realpath "$rundir")
out=$rundir/guest.log console=$rundir/console.log
rm -f "$out" "$out.rc" "$console"
# Software emulation (KVM, where a machine offers it at all, is nested here
# and does not boot the guest). qemu 7.2's emulation faults on the IRET that
# 32-bit Wine executes unless SMAP is off. UMIP is off too: with it, Debian
# 12's later kernels (6.1.0-50) fault 32-bit Wine while it loads its first
# DLLs (wineboot ends with status 53: "zlib1.dll not found").
accel=(-accel tcg,thread=multi -cpu max,la57=off,smap=off,umip=off)
# The guest's command line has no room for quoting: the script and its
# arguments go through a small file in the shared folder.
cmd=$rundir/command.sh
{
    echo '#!/bin/bash'
    printf '%q ' "$script" "$@"
    echo
} >"$cmd"


snapshot=(-snapshot)
[ "$keep" = 1 ] && snapshot=()
qemu=(qemu-system-x86_64 "${accel[@]}" -smp 2 -m "${TAVREL_VM_MEMORY:-6G}"
    -nographic -nodefaults -nic none -serial "file:$console" "${snapshot[@]}"
    -drive "file=$guest/root.img,if=virtio,format=raw"
    -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img"
    -append "root=/dev/vda rw console=ttyS0 quiet init=/sbin/tavrel-init tavrel.share=$PROJECT_ROOT tavrel.cmd=$cmd tavrel.out=$out"
    -virtfs "local,path=$PROJECT_ROOT,mount_tag=tavrel,security_model=none")

timeout --kill-after=15 "$limit" "${qemu[@]}" </dev/null &
qemu_pid=$!
# The guest writes its output into the shared folder; show it as it grows.
shown=0
show_new_output() {
    local size
    size=$(stat -c %s "$out" 2>/dev/null || echo 0)
    if [ "$size" -gt "$shown" ]; then
        tail -c +$((shown + 1)) "$out" | head -c $((size - shown))
        shown=$size
    fi
}
while kill -0 $qemu_pid 2>/dev/null; do
    show_new_output
    sleep 1
done
set +e
wait $qemu_pid
qemu_rc=$?
set -e
show_new_output
if [ ! -s "$out.rc" ]; then
    if [ $qemu_rc = 124 ] || [ $qemu_rc = 137 ]; then
        echo "x86 guest: stopped after ${limit} s without finishing" >&2
    else
        echo "x86 guest: ended without a result (qemu exit status $qemu_rc)" >&2
    fi
    echo "---- guest console (last 60 lines of $console)" >&2
    tail -n 60 "$console" >&2 || true
    exit 1
fi
exit "$(cat "$out.rc")"
