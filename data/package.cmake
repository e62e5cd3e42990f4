# The Debian package, made by CPack from the install rules:
#   cmake --build build --target package   ->  build/tonvale_<version>_<arch>.deb
# It installs into /usr; its library dependencies are read from the programs
# by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tonvale developers <tonvale@tonvale.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "computer keyboard played as a musical instrument")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tonvale turns the computer keyboard into a musical instrument: 45 keys play
notes in numbered notation, in one of 24 keys, on any of the 128 General MIDI
instruments, through a built-in synthesizer or the system's MIDI ports (ALSA,
JACK). Performances are recorded, played back, saved as .qvi recordings and
exported as Standard MIDI Files. Songs in numbered notation are shown with
the key under every note and practised note by note, at a chosen speed, or
listened to; a few well-known melodies come with it.

The package also holds tonvale-tool, which inspects, exports and renders
recordings and songs without a window and prints a song's keys.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tonvale.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The built-in synthesizer needs a General MIDI soundfont at a place the
# program searches: Debian's standard FluidR3_GM by preference, the small
# TimGM6mb where a system has only that.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fluid-soundfont-gm | timgm6mb-soundfont")
# The Chinese window text, the key labels' Times New Roman twin, Qt's own
# dialogs in Chinese, and Qt's Wayland plugin for a native Wayland window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-wqy-microhei, fonts-liberation, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
# Debian keeps manual pages and change logs compressed.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/compress-docs.cmake)
include(CPack)
