# The Debian package: scripts/package.sh builds it (cpack -G DEB in build-deb/). It holds
# what cmake --install puts under /usr, plus the copyright file and the changelog that
# every Debian package carries.
set(VULTAR_MAINTAINER "Vultar developers <vultar@example.org>" CACHE STRING
    "Maintainer of the Debian package (name <address>)")
set(VULTAR_LICENSE "unspecified" CACHE STRING
    "Short name of the licence, for the package's copyright file")

configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in
               ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
string(TIMESTAMP VULTAR_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in
               ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
# Debian wants the changelog compressed at the highest level, without a time stamp.
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(vultar_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vultar)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vultar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VULTAR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VULTAR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries (SDL2, libpng, FluidSynth, AdPlug, ALSA) come from dpkg-shlibdeps; the
# General MIDI SoundFont the music falls back on is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | fluid-soundfont-gm")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vertical-scrolling arcade shooter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vultar is an arcade shooter for one player. Create a pilot, buy guns,
special weapons and shields in the supply store with the money you earn,
and fly the waves of four episodes over a scrolling landscape, fighting
ground and air enemies with the main guns, the selected special weapon and
mega bombs.

The package holds the game with its complete data set, glbtool for
looking into and repacking the archives, scenetool for redrawing the
cut-scenes, and the modding tools (song converter, sound renderer, effect
scene and timing tools) in /usr/libexec/vultar.")
include(CPack)
