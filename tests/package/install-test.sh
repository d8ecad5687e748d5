#!/usr/bin/env bash
# The Debian packages as a user gets them: built by scripts/package deb (or taken from
# DIR), installed into this machine with apt-get, run from their installed paths, and
# purged again, leaving none of their files behind. Installs into the machine, so it
# runs as root and refuses to start while zl-config or zl-sim is installed already.
# Usage: tests/package/install-test.sh [DIR]
set -uo pipefail
cd "$(dirname "$0")/../.."
. tests/package/common.sh
installed_packages() {
    dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' | awk '$NF == "installed" {print $1}' | sort
}

[ "$(id -u)" -eq 0 ] || { echo "install-test.sh installs into this machine: run it as root" >&2; exit 2; }
packages=(zl-config zl-sim)
for p in "${packages[@]}"; do
    s=$(status "$p")
    if [ -n "$s" ] && [[ "$s" != *not-installed ]]; then
        echo "$p is installed ($s): the test would remove it" >&2
        exit 2
    fi
done
install_missing desktop-file-utils appstream

dir="${1:-}"
if [ -z "$dir" ]; then
    scripts/package deb || { echo "FAIL: scripts/package deb"; exit 1; }
    dir=build/package
fi
dir=$(realpath "$dir")
arch=$(dpkg --print-architecture)
debs=()
for p in "${packages[@]}"; do
    found=("$dir/${p}_"*"_$arch.deb")
    [ "${#found[@]}" = 1 ] && [ -f "${found[0]}" ] || { echo "no single $p package in $dir" >&2; exit 2; }
    debs+=("${found[0]}")
done
version=$(dpkg-deb -f "${debs[0]}" Version)
upstream=${version%-*}

tmp=$(mktemp -d)
sim=
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null
    apt_get purge "${packages[@]}" >/dev/null 2>&1
    rm -rf "$tmp"
}
trap cleanup EXIT

installed_packages >"$tmp/before"
check "apt-get install" apt_get install "${debs[@]}" >/dev/null
# What the packages brought along, to be taken away again with them.
installed_packages >"$tmp/after"
comm -13 "$tmp/before" "$tmp/after" | grep -v -e '^zl-config:' -e '^zl-sim:' >"$tmp/dependencies"
dpkg -L "${packages[@]}" | sort -u | while read -r f; do
    [ -d "$f" ] && [ ! -L "$f" ] || echo "$f"
done >"$tmp/files"

for f in /usr/bin/zl-config /usr/bin/zl-cli /usr/bin/zl-sim \
         /usr/share/applications/zl-config.desktop \
         /usr/share/metainfo/io.github.zl_config.ZLConfig.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/zl-config.svg \
         /usr/share/icons/hicolor/48x48/apps/zl-config.png \
         /usr/share/man/man1/zl-config.1.gz /usr/share/man/man1/zl-cli.1.gz /usr/share/man/man1/zl-sim.1.gz \
         /usr/share/doc/zl-config/copyright /usr/share/doc/zl-config/README.Debian; do
    check "installed: $f" grep -qxF "$f" "$tmp/files"
done
for program in zl-config zl-cli zl-sim; do
    check "$program on the PATH at /usr/bin" test "$(command -v "$program")" = "/usr/bin/$program"
done

# From a terminal without a display, as after installing over ssh.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM zl-config --version)
check "zl-config --version: '$out'" test "$out" = "zl-config $upstream"
out=$(zl-cli --version)
check "zl-cli --version: '$out'" test "$out" = "zl-cli $upstream"
out=$(zl-cli --help)
check "zl-cli --help" test "${out%%$'\n'*}" = "usage: zl-cli [OPTION...] COMMAND [ARGUMENT...]   (options may also follow the command)"

# zl-cli against the installed simulator, through a COM name as a user would.
mkdir "$tmp/ports"
zl-sim --no-pacing --link "$tmp/ports" >"$tmp/sim.out" &
sim=$!
for _ in $(seq 200); do
    [ -L "$tmp/ports/COM1" ] && break
    sleep 0.05
done
out=$(ZL_CONFIG_PORTS="$tmp/ports" zl-cli --port COM1 --quiet get Current Baud 2>&1)
check "zl-cli get: '$out'" test "$out" = $'Config/Current  1000\nSystem/Baud     19200'
kill "$sim"
wait "$sim"
code=$?
sim=
check "zl-sim ends on SIGTERM with 0, not $code" test "$code" = 0

check "desktop entry validates" desktop-file-validate /usr/share/applications/zl-config.desktop
check "AppStream data validates" appstreamcli validate --no-net \
    /usr/share/metainfo/io.github.zl_config.ZLConfig.metainfo.xml

check "apt-get purge" apt_get purge "${packages[@]}" >/dev/null
if [ -s "$tmp/dependencies" ]; then
    check "apt-get purge of the dependencies" apt_get purge $(cat "$tmp/dependencies") >/dev/null
fi
for p in "${packages[@]}"; do
    s=$(status "$p")
    check "$p still known to dpkg: $s" test -z "$s" -o "${s##* }" = not-installed
done
left=$(while read -r f; do [ -e "$f" ] || [ -L "$f" ] && echo "$f"; done <"$tmp/files")
check "files left behind: $left" test -z "$left"
check "the machine's packages are as before" cmp -s "$tmp/before" <(installed_packages)

echo "install-test: $passed passed, $failures failed"
[ "$failures" = 0 ]
