# The Debian package, made by `cpack -G DEB` in a build tree (scripts/package).
# Its dependencies are computed from the libraries the program links, by
# dpkg-shlibdeps, so they follow whatever Qt and X11 the build machine has.
set(CPACK_PACKAGE_NAME huvella)
set(CPACK_PACKAGE_VENDOR "Huvella developers")
set(CPACK_PACKAGE_CONTACT "Huvella developers <developers@huvella.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert, mix and pick screen colors")
set(CPACK_PACKAGE_DESCRIPTION "\
Huvella is a small window for screen colors: it converts a color between its
HTML hex text, the decimal value of the packed color, red/green/blue and
hue/saturation/luminance, mixes a color with RGB and HSL sliders, picks the
color of any pixel on the desktop and saves a color's values to a text report.
From the command line it converts colors with no display and picks one pixel
for scripts and hotkeys.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://huvella.example.org")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# On a Wayland session: the window as a native Wayland client, the desktop's
# own color picker, and the PipeWire daemon the portal's screen cast runs on.
# libpipewire itself is a computed dependency: huvella-screencast.so links it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-desktop-portal, pipewire")

include(CPack)
