#!/usr/bin/env bash
# Builds the x86 test guest once: image.sh OUTDIR. A Debian 12 (amd64) root
# from Debian's archive with i386 as a foreign architecture and 32-bit Wine,
# made into an ext4 image without loop mounts (mkfs.ext4 -d), a kernel and a
# small initrd beside it; then one boot that keeps its writes makes the Wine
# prefix. OUTDIR appears only when all of it succeeded.
set -euo pipefail
source "$(dirname "$0")/common.sh"
out=$1
# The guest comes from the Debian archive this machine's apt uses.
host_mirror() {
    local uri
    uri=$(awk '/^URIs:/ {u = $2} /^Suites:/ && / bookworm( |$)/ && u {print u; exit}' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
    echo "$uri"
}
mirror=${TAVREL_DEBIAN_MIRROR:-$(host_mirror)}
[ -n "$mirror" ] || { echo "no Debian bookworm archive in apt's sources; set TAVREL_DEBIAN_MIRROR" >&2; exit 1; }
work=$out.partial
rootfs=$work/root
rm -rf "$work"
mkdir -p "$work"

in_root() { chroot "$rootfs" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }

cleanup() { umount "$rootfs/proc" 2>/dev/null || true; }
trap cleanup EXIT

echo "guest: debootstrap bookworm from $mirror"
debootstrap --variant=minbase --arch=amd64 bookworm "$rootfs" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log"; exit 1; }

# Only the drivers this guest boots with go into the initrd: a virtio disk
# holding ext4, and the 9p folder shared with the host.
mkdir -p "$rootfs/etc/initramfs-tools"
printf 'MODULES=list\nCOMPRESS=gzip\n' >"$rootfs/etc/initramfs-tools/initramfs.conf"
printf '%s\n' virtio_pci virtio_blk ext4 9pnet_virtio 9p >"$rootfs/etc/initramfs-tools/modules"
echo 'force-unsafe-io' >"$rootfs/etc/dpkg/dpkg.cfg.d/unsafe-io"
printf 'deb %s bookworm main\n' "$mirror" >"$rootfs/etc/apt/sources.list"

cp -L /etc/resolv.conf "$rootfs/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$rootfs/proc"
echo "guest: installing the kernel, Wine (32 and 64 bit), Xvfb, fonts, ctest and the test server's python3"
{
    in_root dpkg --add-architecture i386
    in_root apt-get update -qq
    # Our initramfs settings were written first: keep them, never ask.
    in_root apt-get install -y -qq --no-install-recommends -o Dpkg::Options::=--force-confold \
        linux-image-amd64 initramfs-tools kmod procps \
        wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-dejavu-core fonts-wqy-microhei cmake \
        python3 openssl iproute2
} >"$work/packages.log" 2>&1 || { tail -30 "$work/packages.log"; exit 1; }
umount "$rootfs/proc"

install -m 755 "$VM_SCRIPTS/init.sh" "$rootfs/sbin/tavrel-init"
mkdir -p "$rootfs/opt/tavrel"
cp -L "$rootfs"/boot/vmlinuz-* "$work/vmlinuz"
cp -L "$rootfs"/boot/initrd.img-* "$work/initrd.img"
in_root apt-get clean
rm -rf "$rootfs"/var/lib/apt/lists/* "$rootfs/etc/dpkg/dpkg.cfg.d/unsafe-io"

echo "guest: writing the disk image"
mkfs.ext4 -q -F -L tavrel -d "$rootfs" "$work/root.img" 10G
rm -rf "$rootfs"

echo "guest: first boot, making the Wine prefix"
"$VM_SCRIPTS/run.sh" --keep --guest "$work" --timeout 900 "$VM_SCRIPTS/provision.sh"
mv "$work" "$out"
