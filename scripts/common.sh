# Shared by scripts/run and scripts/test; sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages the program needs to build and run.
run_packages=(cmake make g++ qt6-base-dev libx11-dev libxcb1-dev libxcb-xinerama0-dev libxcb-shape0-dev libxtst-dev fonts-dejavu-core
              xvfb xdotool imagemagick)
# The picker's own Wayland connection: the client library and wayland-scanner,
# the stable protocols (viewporter, xdg-shell), key symbols through xkbcommon.
run_packages+=(pkg-config libwayland-dev wayland-protocols libxkbcommon-dev)
# Qt's Wayland connection and a window's surface, reached through Qt's private
# platform native interface, for the window's handle to the portal's dialogs.
run_packages+=(qt6-base-private-dev)
# Screen casting's PipeWire streams.
run_packages+=(libpipewire-0.3-dev)
# What the tests and benchmarks need on top (openbox: a window manager that
# frames the windows, for the placement tests).
test_packages=(googletest libgtest-dev libbenchmark-dev x11-utils ccache openbox)
# What scripts/package needs: dpkg-shlibdeps computes the package's dependencies
# and CPack finds the program's files with file(1).
package_packages=(dpkg-dev file)
# What the desktop-integration tests need: the validators (lintian for the
# package), and a screen reader's view of the window (a session bus, the AT-SPI
# bus, the Python AT-SPI client).
test_packages+=("${package_packages[@]}" lintian desktop-file-utils appstream
                dbus-x11 at-spi2-core python3-pyatspi)
# The picker through the desktop portal: a private session bus, a stand-in
# portal in the system Python, Debian's real portal frontend, and a headless
# Wayland compositor with Qt's Wayland plugin.
test_packages+=(dbus-daemon dbus-bin python3-dbus python3-gi gir1.2-glib-2.0
                xdg-desktop-portal weston qt6-wayland)
# The picker on a wlroots desktop: a headless sway, its background helper (a
# picture of noise), grim to read back what it shows, wtype for keyboards that
# come and go.
test_packages+=(sway swaybg grim wtype)
# Screen casting: the PipeWire daemon and session manager, with the SPA plugins
# the stand-in source and the program's streams run on.
test_packages+=(pipewire pipewire-bin wireplumber libspa-0.2-modules)
# The picker on the real desktops, headless: GNOME Shell with its portal
# backends (the GTK one for the Access dialog the frontend needs), Mesa's
# software OpenGL, the AT-SPI client for the share dialog; KWin with KDE's
# portal backend and the QML modules its dialog imports (the backend does not
# depend on them; without them Start fails), the service cache builder, and
# the fake-input protocol for the pointer.
desktop_packages=(gnome-shell mutter xdg-desktop-portal-gnome xdg-desktop-portal-gtk
                  gsettings-desktop-schemas gir1.2-gtk-4.0 gir1.2-atspi-2.0 libgl1-mesa-dri
                  kwin-wayland xdg-desktop-portal-kde plasma-workspace plasma-wayland-protocols
                  qtwayland5 qml-module-qtquick-layouts qml-module-qtquick-controls2
                  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-templates2
                  qml-module-org-kde-kirigami2 qml-module-org-kde-kquickcontrolsaddons
                  qml-module-org-kde-pipewire qml-module-qtgraphicaleffects
                  qml-module-qtqml-models2 libkf5service-bin)
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

# Runs a command without its output, unless it fails: then what it printed
# goes to stderr, so that a failed configure or build says why.
quietly() {
    local log status=0
    log=$(mktemp)
    "$@" >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || cat "$log" >&2
    rm -f "$log"
    return "$status"
}

# ccache, where it is installed, makes a rebuild of an unchanged tree a matter
# of seconds.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

# Configures and builds the Release build under build/release, without tests
# and benchmarks; prints the build tree's path.
build_release() {
    local tree="$root/build/release"
    quietly cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
          -DHUVELLA_TESTS=OFF -DHUVELLA_BENCH=OFF || return 1
    quietly cmake --build "$tree" -j "$jobs" || return 1
    echo "$tree"
}

# Configures the sanitizer build under build/test, the one scripts/test runs.
# -O2 keeps the exhaustive checks quick under the sanitizers; asserts stay on.
# The benchmarks are built in a Release tree of their own (README), not here.
configure_test_tree() {
    quietly cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
          -DHUVELLA_SANITIZE=ON -DHUVELLA_WERROR=ON -DHUVELLA_BENCH=OFF
}

# Configures and builds the fuzz targets with clang in build/fuzz. CTest there
# runs each for $1 inputs (-1: no limit) or $2 seconds (0: no limit).
build_fuzzers() {
    quietly cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHUVELLA_FUZZ=ON -DHUVELLA_WERROR=ON \
          -DHUVELLA_FUZZ_RUNS="$1" -DHUVELLA_FUZZ_SECONDS="$2"
    cmake --build "$root/build/fuzz" --target huvella_fuzzers -j "$jobs"
}
