# Sourced by run and test: install what is missing, configure and build into $build_dir.
set -euo pipefail
qb_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6sql6-ibase
    firebird3.0-server-core firebird3.0-utils firebird-dev libfbclient2
    libturbojpeg0-dev
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libudev-dev fonts-wqy-microhei xvfb
)

qb_install_packages() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

# qb_build DIR [cmake options...]
qb_build() {
    local dir=$1
    shift
    cmake -S "$qb_root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

# The delivered database beside the executable, made from the creation script when missing.
qb_database() {
    local db="$1/bin/protocal.dll"
    [ -f "$db" ] || "$qb_root/scripts/create-database" "$db"
}
