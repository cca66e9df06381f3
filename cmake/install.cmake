# Install rules and the Debian package: binary, assets, launcher, menu entry, icons, manual page, software-centre
# metadata and copyright file.
# The game reads ./img, ./snd and ./replays from its working directory; the launcher supplies that
# directory, so nothing here may ask the game itself to change.
include_guard(GLOBAL)

# Relative to the prefix; the launcher is configured with the same two values, which keeps it relocatable.
set(BRAKKO_LIB_DIR lib/brakko)
set(BRAKKO_DATA_DIR share/brakko)
set(BRAKKO_PACKAGE_MAINTAINER "Brakko maintainers <brakko@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

install(TARGETS brakko RUNTIME DESTINATION ${BRAKKO_LIB_DIR})

# Named one by one: these are exactly what the game opens, and a missing one must fail the install.
install(FILES ${PROJECT_SOURCE_DIR}/img/title.bmp ${PROJECT_SOURCE_DIR}/img/tooth.bmp
              ${PROJECT_SOURCE_DIR}/img/bot.bmp ${PROJECT_SOURCE_DIR}/img/loose.bmp ${PROJECT_SOURCE_DIR}/img/won.bmp
              ${PROJECT_SOURCE_DIR}/img/practice.bmp
        DESTINATION ${BRAKKO_DATA_DIR}/img)
install(FILES ${PROJECT_SOURCE_DIR}/snd/goof.ogg ${PROJECT_SOURCE_DIR}/snd/robot_wars.ogg
              ${PROJECT_SOURCE_DIR}/snd/vexo.ogg ${PROJECT_SOURCE_DIR}/snd/down.ogg
        DESTINATION ${BRAKKO_DATA_DIR}/snd)
# The window's icon, which the game reads as ./icons/brakko-48.bmp; without it the window has none.
install(FILES ${PROJECT_SOURCE_DIR}/icons/brakko-48.bmp DESTINATION ${BRAKKO_DATA_DIR}/icons OPTIONAL)
# The solution that `brakko --solution` plays.
install(FILES ${PROJECT_SOURCE_DIR}/replays/solution.replay DESTINATION ${BRAKKO_DATA_DIR}/replays)

# The level pack, with the table of its pars, for players to open by its installed path.
file(GLOB BRAKKO_LEVELS ${PROJECT_SOURCE_DIR}/levels/*.level)
install(FILES ${BRAKKO_LEVELS} ${PROJECT_SOURCE_DIR}/levels/pars DESTINATION ${BRAKKO_DATA_DIR}/levels)

configure_file(${PROJECT_SOURCE_DIR}/packaging/brakko.in ${PROJECT_BINARY_DIR}/packaging/brakko @ONLY)
# games/, not bin/: Debian keeps games there and lintian refuses a games package without one.
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/brakko DESTINATION games)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/brakko.desktop DESTINATION share/applications)
# What software centres show: description, screenshots, licence; its id names it for good.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.brakko.metainfo.xml DESTINATION share/metainfo)

# Debian wants manual pages compressed, and reproducibly so (-n keeps the name and time out of the header).
set(BRAKKO_MANPAGE ${PROJECT_BINARY_DIR}/packaging/brakko.6.gz)
add_custom_command(OUTPUT ${BRAKKO_MANPAGE}
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/brakko.6 > ${BRAKKO_MANPAGE}
                   DEPENDS ${PROJECT_SOURCE_DIR}/packaging/brakko.6)
add_custom_target(brakko-manpage ALL DEPENDS ${BRAKKO_MANPAGE})
install(FILES ${BRAKKO_MANPAGE} DESTINATION share/man/man6)

# A native package carries its own changelog; the version and maintainer follow the project's.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
set(BRAKKO_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${BRAKKO_CHANGELOG}
                   COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/packaging/changelog > ${BRAKKO_CHANGELOG}
                   DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog)
add_custom_target(brakko-changelog ALL DEPENDS ${BRAKKO_CHANGELOG})
install(FILES ${BRAKKO_CHANGELOG} DESTINATION share/doc/brakko)
# The machine-readable copyright file Debian asks of every package.
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION share/doc/brakko)

# The icons come from the asset generator; OPTIONAL keeps a tree without them installable.
foreach(size 48 128)
    install(FILES ${PROJECT_SOURCE_DIR}/icons/brakko-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME brakko.png OPTIONAL)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brakko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${BRAKKO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puzzle game of robots that join a group and re-form it")
# CPack puts the summary line in front of this and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Free robots fall and ride conveyor belts; a free robot that touches your
group joins it. You never steer a robot: you ask the group to re-form, and
it does so where the formation fits. Bring a member of the group onto the
goal to win the level.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${BRAKKO_PACKAGE_MAINTAINER})
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE)
# dpkg-shlibdeps reads the libraries the binary really links, with the versions this build needs; the
# fixed list is for machines without it and names the same runtimes, Debian 12's SDL 1.2 and SDL_mixer 1.2.
find_program(BRAKKO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(BRAKKO_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libstdc++6, libgcc-s1, libsdl1.2debian (>= 1.2.15), libsdl-mixer1.2 (>= 1.2.12)")
endif()
include(CPack)
