#!/usr/bin/env bash
# Runs COMMANDS as root in a brand-new minimal Debian tree (apt, git, sudo and
# their certificates: no compiler, no Qt, nothing else), in a clean clone of
# the committed HEAD of this repository. That is how a newcomer's machine
# starts, so a pass here means the README's commands pass there:
#
#   scripts/fresh-machine.sh './scripts/install-deps.sh && ./scripts/check.sh'
#   scripts/fresh-machine.sh --release trixie './scripts/install-deps.sh && ./scripts/check.sh'
#
#   --release R   bookworm (Debian 12, the default) or trixie (Debian 13)
#   --keep        keep the tree afterwards and print where it is
#
# Only committed work is tested: commit first. The base tree of a release is
# made once with mmdebstrap (about a minute) and kept, with the packages apt
# downloads into it, in ${XDG_CACHE_HOME:-~/.cache}/zorvane-fresh; a base tree
# older than a week is made anew. The tree the commands run in is thrown away
# afterwards; runs of the same release wait for each other. Needs root;
# installs mmdebstrap when it is missing. Exit status:
# that of COMMANDS.
set -euo pipefail

usage() {
    sed -n '2,18s/^# \{0,1\}//p' "$0" >&2
    exit 64
}

release=bookworm
keep=0
while [ $# -gt 1 ]; do
    case "$1" in
    --release)
        case "${2:-}" in bookworm | trixie) release=$2 ;; *) usage ;; esac
        shift 2
        ;;
    --keep)
        keep=1
        shift
        ;;
    *) usage ;;
    esac
done
[ $# -eq 1 ] || usage
[ "$(id -u)" -eq 0 ] || {
    echo "fresh-machine: needs root (it builds a tree and enters it with chroot)" >&2
    exit 1
}
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)

command -v mmdebstrap >/dev/null || {
    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends mmdebstrap
} >/dev/null

cache=${XDG_CACHE_HOME:-$HOME/.cache}/zorvane-fresh
mkdir -p "$cache/$release-debs"
# One run of a release at a time: they share its base tree and its
# downloads, and apt locks the downloads' folder.
exec 9>"$cache/$release.lock"
flock 9
base=$cache/$release.tar
if [ ! -f "$base" ] || [ -n "$(find "$base" -mtime +7)" ]; then
    echo "fresh-machine: making the Debian $release base tree" >&2
    # mmdebstrap picks the output's format by its name: keep the .tar ending.
    rm -f "$cache/$release-partial.tar"
    mmdebstrap --variant=apt --include=ca-certificates,git,sudo "$release" "$cache/$release-partial.tar" \
        >"$cache/$release.log" 2>&1 || {
        tail -5 "$cache/$release.log" >&2
        exit 1
    }
    mv "$cache/$release-partial.tar" "$base"
fi

root=$(mktemp -d "${TMPDIR:-/var/tmp}/zorvane-fresh.XXXXXX")
mounts=()
cleanup() {
    # Anything the commands left running inside the tree (a display server,
    # say) would keep its mounts busy.
    local pid
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
    if [ "$keep" = 1 ]; then
        echo "fresh-machine: the tree is kept in $root" >&2
    elif findmnt -rn -o TARGET | grep -qF "$root"; then
        echo "fresh-machine: something is still mounted under $root; not removing it" >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
tar -xf "$base" -C "$root"
name=$(basename "$top")
git clone -q "$top" "$root/root/$name"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Certificate authorities this machine added for its network (a proxy that
# inspects TLS, say) are trusted in the tree too, by the system and by node:
# without them npm cannot reach its registry from here.
node_ca=()
if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
    chroot "$root" update-ca-certificates >/dev/null 2>&1
    node_ca=(NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt)
fi
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
# The packages downloaded by earlier runs: installing still happens from
# scratch, only the downloads are spared.
mount --bind "$cache/$release-debs" "$root/var/cache/apt/archives" && mounts+=("$root/var/cache/apt/archives")
mkdir -p "$root/var/cache/apt/archives/partial"

echo "fresh-machine: Debian $release, $(git -C "$top" log -1 --format='%h %s')" >&2
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb "${node_ca[@]}" \
    /bin/bash -c "cd /root/$name && $1" || status=$?
exit $status
