# Shared by the package tests (sourced): counting checks, and the Debian packages they use.
passed=0
failures=0
check() {  # check WHAT COMMAND...: counts the command's outcome
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@"
}
status() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null; }
install_missing() {  # install_missing PACKAGE...: all of them when one is missing, or exit 2
    local p
    for p in "$@"; do
        if [ "$(status "$p")" != "install ok installed" ]; then
            apt_get update && apt_get install --no-install-recommends "$@" >/dev/null || exit 2
            return
        fi
    done
}
