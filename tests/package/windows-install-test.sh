#!/usr/bin/env bash
# The Windows installer as a user gets it: built by scripts/package windows (or taken from
# DIR), run silently under wine in a fresh prefix of its own (build/package/wine), the
# installed program started from its Start menu entry on an Xvfb display of the test's
# own, then uninstalled silently, leaving no file, shortcut or machine registry key
# behind. The user's settings (HKCU\Software\ZL-Config) stay, as the uninstaller says.
# The prefix stays after a failure, for a look; a passing run removes it. Installs the
# tools it needs when they are missing (as root).
# Usage: tests/package/windows-install-test.sh [DIR]
set -uo pipefail
cd "$(dirname "$0")/../.."
. tests/package/common.sh
install_missing wine wine64 xvfb xdotool unzip dpkg-dev

dir="${1:-}"
if [ -z "$dir" ]; then
    scripts/package windows || { echo "FAIL: scripts/package windows"; exit 1; }
    dir=build/package
fi
dir=$(realpath "$dir")
version=$(dpkg-parsechangelog -S Version)
version=${version%-*}
setup="$dir/ZL-Config-$version-setup.exe"
zip="$dir/ZL-Config-$version-windows.zip"
for f in "$setup" "$zip"; do
    [ -f "$f" ] || { echo "no $f" >&2; exit 2; }
done

export WINEPREFIX="$PWD/build/package/wine" WINEARCH=win64 WINEDEBUG=-all
# No menu entries or file types of the prefix in the desktop of the machine.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
tmp=$(mktemp -d)
xvfb=
cleanup() {
    wineserver -k >/dev/null 2>&1 </dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ "$failures" = 0 ] && rm -rf "$WINEPREFIX"
    rm -rf "$tmp"
}
trap cleanup EXIT
wineserver -k >/dev/null 2>&1 </dev/null  # one left by a run that was cut short
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"

# A display of the test's own: the first free one from 99 on, known ready when Xvfb
# writes its number.
for n in $(seq 99 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -nolisten tcp -screen 0 1280x1024x24 -displayfd 3 3>"$tmp/display" >"$tmp/xvfb.out" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$tmp/display" ] || ! kill -0 "$xvfb" 2>/dev/null && break
        sleep 0.1
    done
    [ -s "$tmp/display" ] && break
    kill "$xvfb" 2>/dev/null
    xvfb=
done
[ -n "$xvfb" ] || { echo "no display for Xvfb" >&2; cat "$tmp/xvfb.out" >&2; exit 2; }
export DISPLAY=":$n"

# wine's own waits: "wineserver -w" returns once every program of the prefix has ended.
wine_wait() { timeout 300 wineserver -w; }
wineboot -i >"$tmp/wineboot.out" 2>&1 </dev/null
wine_wait
drive_c="$WINEPREFIX/drive_c"
pf="$drive_c/Program Files/ZL-Config"
link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZL-Config.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZL-Config'

wine "$setup" /S >"$tmp/setup.out" 2>&1 </dev/null
code=$?
wine_wait
check "setup /S exits with 0, not $code" test "$code" = 0

unzip -q "$zip" -d "$tmp/zip"
for f in zl-config.exe zl-cli.exe README.txt LICENSE.txt; do
    check "installed and in the zip alike: $f" cmp -s "$pf/$f" "$tmp/zip/$f"
done
check "installed: Uninstall.exe" test -f "$pf/Uninstall.exe"
check "Start menu entry: $link" test -f "$link"

wine reg query "$key" >"$tmp/key.out" 2>&1 </dev/null
tr -d '\r' <"$tmp/key.out" >"$tmp/key"
value() {  # value NAME: the data of a value of the uninstall key
    awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }' "$tmp/key"
}
declare -A expected=(
    [DisplayName]="ZL-Config"
    [DisplayVersion]="$version"
    [Publisher]="ZL-Config developers"
    [UninstallString]='"C:\Program Files\ZL-Config\Uninstall.exe"'
    [QuietUninstallString]='"C:\Program Files\ZL-Config\Uninstall.exe" /S'
    [InstallLocation]='C:\Program Files\ZL-Config'
    [DisplayIcon]='C:\Program Files\ZL-Config\zl-config.exe'
    [NoModify]=0x1
    [NoRepair]=0x1
)
for name in "${!expected[@]}"; do
    got=$(value "$name")
    check "uninstall key: $name is '$got', not '${expected[$name]}'" test "$got" = "${expected[$name]}"
done
# In KiB, as Windows' list of programs shows it.
size=$(( $(value EstimatedSize) ))
bytes=$(cat "$pf"/* | wc -c)
check "uninstall key: EstimatedSize $size KiB for $bytes bytes" \
    test "$size" -ge $((bytes / 1024 - 1)) -a "$size" -le $((bytes / 1024 + 1))

for program in zl-config zl-cli; do
    wine "$pf/$program.exe" --version >"$tmp/$program.out" 2>"$tmp/$program.err" </dev/null
    out=$(tr -d '\r' <"$tmp/$program.out")
    check "$program.exe --version: '$out'" test "$out" = "$program $version"
done

# From the Start menu entry, as a user starts it; wine's start returns at once.
wine start /unix "$link" >"$tmp/start.out" 2>&1 </dev/null
found=
for _ in $(seq 600); do
    found=$(xdotool search --onlyvisible --name '^Login$' 2>/dev/null)
    [ -n "$found" ] && break
    sleep 0.1
done
check "the Start menu entry opens the Login window" test -n "$found"
# Its files are in use: a second setup refuses, the installation stays as it is.
wine "$setup" /S >"$tmp/setup2.out" 2>&1 </dev/null
code=$?
check "setup /S while the program runs exits with 2, not $code" test "$code" = 2
check "setup /S while the program runs leaves it installed" cmp -s "$pf/zl-config.exe" "$tmp/zip/zl-config.exe"
wineserver -k >/dev/null 2>&1 </dev/null
wine_wait

# The uninstaller copies itself to the temporary folder, starts the copy and returns.
wine "$pf/Uninstall.exe" /S >"$tmp/uninstall.out" 2>&1 </dev/null
code=$?
wine_wait
check "Uninstall.exe /S exits with 0, not $code" test "$code" = 0
check "folder left behind: $pf" test ! -e "$pf"
check "Start menu entry left behind" test ! -e "$link"
wine reg query "$key" >"$tmp/key-after.out" 2>&1 </dev/null
check "uninstall key left behind" test $? != 0
wine_wait
left=$(find "$drive_c" -iname '*zl-c*' 2>/dev/null)
check "files left behind: $left" test -z "$left"
left=$(grep -i -n 'zl-config' "$WINEPREFIX/system.reg")
check "machine registry left behind: $left" test -z "$left"

echo "windows-install-test: $passed passed, $failures failed"
[ "$failures" = 0 ]
