# Installs the Debian packages that are missing; sourced by scripts/run and scripts/test.
# Usage: ensure_packages pkg...
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" </dev/null
}

# Installs an npm package into FOLDER/node_modules when it is not there yet.
# Usage: ensure_npm_package FOLDER package
ensure_npm_package() {
    [ -d "$1/node_modules/$2" ] && return 0
    echo "Installing the npm package $2 into $1"
    mkdir -p "$1"
    npm install --prefix "$1" --no-audit --no-fund --silent "$2" </dev/null
}

BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libeigen3-dev
    pybind11-dev python3-dev python3-numpy python3-pytest python3-pandas python3-dask python3-distributed
    python3-venv python3-pip python3-setuptools python3-wheel)
