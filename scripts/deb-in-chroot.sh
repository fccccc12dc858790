#!/usr/bin/env bash
# Installs a Pixwright .deb into a fresh, minimal Debian 12 (debootstrap from Debian's mirror;
# only the package's own Depends come with it, no Recommends), runs `pixwright run` on the
# installed demo pictures there as a new user would, and removes the scratch system again.
# Takes a few minutes and about 600 MB of downloads; not part of ./test.sh. Run as root:
#     (cd build && cpack -G DEB) && sudo scripts/deb-in-chroot.sh build/pixwright_*_amd64.deb
set -euo pipefail
deb="$(realpath "$1")"
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"
root="$(mktemp -d /var/tmp/pixwright-chroot-XXXXXX)"
cleanup()
{
    umount "$root/proc" 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT

debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
cp "$deb" "$root/root/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" # the program finds its folders through /proc/self/exe
chroot "$root" sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends /root/$(basename "$deb")" >/dev/null
chroot "$root" sh -ec '
    mkdir -p /tmp/user
    env -i PATH=/usr/bin:/bin HOME=/tmp/user LANG=C.UTF-8 pixwright run --yes --keep-exif >/tmp/run.txt 2>&1
    count=$(find /tmp/user/Desktop -name "*.jpg" | wc -l)
    echo "deb-in-chroot: pixwright run wrote $count pictures; $(dpkg -s pixwright | grep ^Depends)"
    test "$count" -eq "$(ls /usr/share/pixwright/演示 | wc -l)"
    grep -q Exif /tmp/user/Desktop/pixwright_新图/演示/*/*/*竖拍晚霞.jpg
'
