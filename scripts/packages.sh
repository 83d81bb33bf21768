# Sourced by the other scripts: brings in the Debian packages the build
# needs, or says which to install.  Usage: need_packages PACKAGE...
need_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages; as root run: apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev)
