# Shared by run.sh and test.sh: installs the Debian packages that are missing, then configures and
# builds the project. Sourced, not run.

quorvel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${QUORVEL_BUILD_DIR:-$quorvel_root/build}
build_packages=(build-essential cmake libglfw3-dev libglew-dev libgl1-mesa-dri libx11-dev libgtest-dev)
# A virtual X server for machines without a display.
headless_packages=(xvfb xauth)
xvfb_screen="-screen 0 1280x1024x24"

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    echo "Installing missing packages: ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# CI treats every compiler warning as an error.
build_project() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S "$quorvel_root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_WERROR=$werror "$@"
    cmake --build "$build_dir" -j "$(nproc)"
}
