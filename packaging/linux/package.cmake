# The Linux packages, all from one build: a .deb and a .tar.gz of what is
# installed under /usr, and with CORVANE_BUNDLE the folder that carries its
# own Qt (bundle/). repack.cmake then makes each of them again, byte for byte
# the same from the same sources.

set(CORVANE_MAINTAINER "Corvane developers <packager@corvane.invalid>" CACHE STRING
    "Maintainer of the Debian package, as \"Name <address>\"")
# The Debian changelog wants the release day the RFC 5322 way, which date(1)
# writes in English whatever the locale.
execute_process(COMMAND date -R -u -d "${CORVANE_RELEASE_DAY} 12:00"
                OUTPUT_VARIABLE CORVANE_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

set(app_id io.github.corvane.Corvane)
configure_file(${CMAKE_CURRENT_LIST_DIR}/${app_id}.desktop.in ${app_id}.desktop @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/${app_id}.metainfo.xml.in ${app_id}.metainfo.xml @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in changelog @ONLY)
# The menu entry's launcher, which the bundle has too: the program lies at
# this path from it.
file(RELATIVE_PATH launched ${CMAKE_INSTALL_FULL_LIBEXECDIR}/corvane ${CMAKE_INSTALL_FULL_BINDIR}/corvane)
configure_file(${CMAKE_CURRENT_LIST_DIR}/corvane-launcher.in corvane-desktop @ONLY)
# Without a time stamp in the gzip header, so that rebuilds are identical.
add_custom_command(OUTPUT changelog.gz corvane.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/corvane.1 corvane.1
    COMMAND gzip -9nkf changelog corvane.1
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog ${CMAKE_CURRENT_LIST_DIR}/corvane.1 VERBATIM)
add_custom_target(corvane_docs ALL DEPENDS changelog.gz corvane.1.gz)

install(TARGETS corvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/corvane-desktop DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/corvane)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/corvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)

set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_CONTACT "${CORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION [[
Corvane keeps a list of named private lobbies for the game RDR2, each a
lobby code plus the number of line breaks the game expects before it, and
switches the game between one of them and the public sessions by writing
the game's startup.meta. The meta file found in the game directory is
backed up first, and going public puts it back.]])
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which no library links against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)

option(CORVANE_BUNDLE "Also package a folder that carries its own Qt (Debian 12)" OFF)
if(CORVANE_BUNDLE)
    include(${CMAKE_CURRENT_LIST_DIR}/bundle/bundle.cmake)
endif()
# The .deb and .tar.gz take what is installed without a component, the
# bundle its own component.
set(CPACK_CORVANE_BUILD_DIR "${CMAKE_BINARY_DIR}")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-per-generator.cmake)
set(CPACK_CORVANE_SOURCE_DATE_EPOCH ${CORVANE_SOURCE_DATE_EPOCH})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/../repack.cmake)
include(CPack)
