#!/usr/bin/env bash
# zl-config outside its window: --help and --version print and end it (zl-sim --help
# too), a missing display is one line and exit code 1, a wrong option exit code 2; and
# what an install to a staging folder holds. Usage: outside-the-window.sh BUILD_DIR BUILD_TYPE
set -uo pipefail
build="$1"
type="$2"
program="$build/zl-config"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$("$program" --help) && [[ "$out" == *"Usage: zl-config"* ]] || fail "--help"
out=$("$program" --version) && [ "$out" = "zl-config 1.0" ] || fail "--version: $out"

err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1 >/dev/null)
code=$?
[ "$code" = 1 ] || fail "no display: exit code $code"
[ "$(printf '%s\n' "$err" | wc -l)" = 1 ] && [[ "$err" == *"no display"* ]] || fail "no display: '$err'"

out=$("$build/zl-sim" --help) && [[ "$out" == "usage: zl-sim"* ]] || fail "zl-sim --help"

QT_QPA_PLATFORM=offscreen "$program" --no-such-option 2>/dev/null
code=$?
[ "$code" = 2 ] || fail "unknown option: exit code $code"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null || fail "install"
for f in bin/zl-config bin/zl-cli share/applications/zl-config.desktop share/man/man1/zl-config.1 share/man/man1/zl-cli.1 \
         share/metainfo/io.github.zl_config.ZLConfig.metainfo.xml \
         share/icons/hicolor/scalable/apps/zl-config.svg share/icons/hicolor/16x16/apps/zl-config.png \
         share/icons/hicolor/256x256/apps/zl-config.png share/doc/zl-config/LICENSE; do
    [ -f "$stage/usr/$f" ] || fail "not installed: $f"
done
[ -e "$stage/usr/bin/zl-sim" ] && fail "zl-sim installed without being asked for"
DESTDIR="$stage" cmake --install "$build" --prefix /usr --component simulator >/dev/null
[ -f "$stage/usr/bin/zl-sim" ] || fail "zl-sim not installed on request"
if [ "$type" != Debug ] && readelf -S "$stage/usr/bin/zl-config" | grep -q '\.debug_info'; then
    fail "release build installed with debug information"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$stage/usr/share/metainfo/io.github.zl_config.ZLConfig.metainfo.xml" >/dev/null ||
        fail "AppStream data does not validate"
fi

[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
