# Shared by scripts/run and scripts/test; sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages the program needs to build and run.
run_packages=(cmake make g++ qt6-base-dev libx11-dev libxcb1-dev libxtst-dev fonts-dejavu-core
              xvfb xdotool imagemagick)
# What the tests and benchmarks need on top.
test_packages=(googletest libgtest-dev libbenchmark-dev x11-utils)
# The fuzz targets' compiler and its libFuzzer and sanitizer runtimes.
fuzz_packages=(clang-14 libclang-rt-14-dev)

# Installs those of the given Debian packages that are not installed yet.
ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

jobs=$(nproc 2>/dev/null || echo 2)

# Configures and builds the fuzz targets with clang in build/fuzz. CTest there
# runs each for $1 inputs (-1: no limit) or $2 seconds (0: no limit).
build_fuzzers() {
    cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHUVELLA_FUZZ=ON -DHUVELLA_WERROR=ON \
          -DHUVELLA_FUZZ_RUNS="$1" -DHUVELLA_FUZZ_SECONDS="$2" >/dev/null
    cmake --build "$root/build/fuzz" --target huvella_fuzzers -j "$jobs"
}
