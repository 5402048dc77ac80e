# Installing and packaging: cmake --install build --prefix P puts the game in P/bin, its
# archives in P/share/vultar/ (where the game looks for them, as ../share/vultar/ beside
# its own folder), the helper tools in P/libexec/vultar/, the manual pages, the menu entry,
# the icons, the AppStream metainfo and the documentation. The tools for users (glbtool,
# scenetool) go to P/bin with their manual pages through cmake/tool.cmake. cpack builds a
# Debian package of the same tree.
include(GNUInstallDirs)

set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/game/usage.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS VULTAR_VERSION="${PROJECT_VERSION}")

set(VULTAR_HOMEPAGE "https://vultar.example.org" CACHE STRING
    "The project's home page, named in the AppStream metainfo")
string(TIMESTAMP VULTAR_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/vultar.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/vultar.metainfo.xml @ONLY)

# Debian keeps games in /usr/games (scripts/package.sh sets games); the archives are found
# from there just the same.
set(VULTAR_GAME_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Folder the game is installed in")
install(TARGETS vultar RUNTIME DESTINATION ${VULTAR_GAME_BINDIR})
install(TARGETS midi2song sndrender fxshot timedemo lastscr
        RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vultar)

foreach(n 0 1 2 3 4)
    install(FILES ${CMAKE_BINARY_DIR}/data/FILE000${n}.GLB
            DESTINATION ${CMAKE_INSTALL_DATADIR}/vultar)
endforeach()

install(FILES ${CMAKE_BINARY_DIR}/man/vultar.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

foreach(size 32 64 128 256)
    install(FILES ${CMAKE_BINARY_DIR}/icons/vultar-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME vultar.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vultar.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/packaging/vultar.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vultar)

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)

# The install test runs cmake --install on this build tree, so everything it installs
# must be built first (cmake/tool.cmake adds the tools it installs).
if(TARGET install_test)
    add_dependencies(install_test vultar midi2song sndrender fxshot timedemo lastscr vultar_data
                     vultar_man vultar_icons vultar_changelog)
    target_compile_definitions(install_test PRIVATE VULTAR_CMAKE_COMMAND="${CMAKE_COMMAND}")
endif()
