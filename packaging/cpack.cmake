# SPDX-License-Identifier: ISC
# Included by CMakeLists.txt: what cpack makes of the install tree.
# cpack: tivorel_<version>_<arch>.deb where Debian's tools are at hand, else a
# tarball of the same tree; packaging/deb-layout.cmake gives the .deb the
# layout Debian wants, and packaging/cpack-project.cmake makes it the same
# bytes on every build of one commit.
set(CPACK_PACKAGE_NAME tivorel)
set(CPACK_PACKAGE_VENDOR "the tivorel authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print a biorhythm chart as plain text")
set(CPACK_PACKAGE_DESCRIPTION
"tivorel takes a date of birth, a first day and a number of days (1 to 500)
and prints one text row per day: the date, a plot strip that marks the day's
value of the physical (23 days), emotional (28 days) and intellectual (33 days)
sine cycles and optionally their average, and the age in days. With --table it
prints the values and the critical days as a tab-separated table for scripts
and plotting programs. Its output is exact to the byte and easy to pipe.")
set(CPACK_PACKAGE_CONTACT "tivorel maintainers <tivorel@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-project.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb-layout.cmake)
set(CPACK_TIVOREL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_TIVOREL_STRIP ${CMAKE_STRIP})
set(CPACK_TIVOREL_ZSH_DIR ${TIVOREL_ZSH_COMPLETION_DIR})
find_program(TIVOREL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TIVOREL_DPKG_SHLIBDEPS)
    set(CPACK_GENERATOR DEB)
else()
    set(CPACK_GENERATOR TGZ)
endif()
include(CPack)
# The source tarball is the dist target's; without this file CMake makes no
# package_source target, whose tarball would hold the build folders too.
file(REMOVE ${PROJECT_BINARY_DIR}/CPackSourceConfig.cmake)
