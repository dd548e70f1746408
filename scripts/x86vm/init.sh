#!/bin/sh
# PID 1 of the x86 test guest (no systemd): mounts what Wine needs, mounts the
# host's project folder at the host's own path (so the absolute paths that
# CMake wrote into the build folder hold), runs one command and powers off.
# Kernel arguments: tavrel.share=DIR tavrel.cmd=SCRIPT tavrel.out=FILE
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export PATH HOME=/root LANG=C.UTF-8
mount -t proc proc /proc 2>/dev/null
mount -t sysfs sys /sys 2>/dev/null
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
mount -o remount,rw /
hostname tavrel-x86
# The loopback interface, for the tests' own servers on 127.0.0.1 (the guest
# has no other network).
ip link set lo up 2>/dev/null
for arg in $(cat /proc/cmdline); do
    case $arg in
        tavrel.share=*) share=${arg#*=} ;;
        tavrel.cmd=*) cmd=${arg#*=} ;;
        tavrel.out=*) out=${arg#*=} ;;
    esac
done
mkdir -p "$share"
# cache=loose: with cache=mmap 32-bit programs read parts of their own code
# as zeros from the shared folder.
if mount -t 9p -o trans=virtio,version=9p2000.L,cache=loose,msize=524288 tavrel "$share"; then
    cd "$share"
    bash "$cmd" >"$out" 2>&1
    echo $? >"$out.rc"
else
    echo "guest: cannot mount the shared folder" >/dev/console
fi
sync
echo o >/proc/sysrq-trigger
sleep 30
