# A folder that runs on any x86_64 Linux with glibc 2.35 or newer, packed as
# corvane-<version>-linux-x86_64.tar.xz: the program with the Qt it was
# built against and every library that Qt needs, except those in
# host-libraries, which the desktop itself provides. Its install rules are
# the component "bundle".
#
# Built on Debian 12 only: the libraries are Debian's, and the notices name
# their packages.

find_program(CORVANE_PATCHELF patchelf REQUIRED)
set(bundle_dir ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_CORVANE_BUNDLE_NAME corvane-${PROJECT_VERSION}-linux-x86_64)

file(STRINGS ${bundle_dir}/host-libraries host_packages REGEX "^[a-z0-9]")
# Every file name under which those packages ship a library, as the
# dependencies of the bundled files name them.
set(host_sonames)
foreach(package IN LISTS host_packages)
    execute_process(COMMAND dpkg-query -L ${package}
                    OUTPUT_VARIABLE files RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
        message(FATAL_ERROR "The bundle leaves out the libraries of ${package}, "
                            "which must be installed to name them: apt-get install ${package}")
    endif()
    string(REGEX MATCHALL "/[^/\n]+\\.so[.0-9]*\n" libraries "${files}")
    foreach(library IN LISTS libraries)
        string(STRIP "${library}" library)
        string(SUBSTRING "${library}" 1 -1 library)
        list(APPEND host_sonames ${library})
    endforeach()
endforeach()
list(REMOVE_DUPLICATES host_sonames)
set(host_regexes)
foreach(soname IN LISTS host_sonames)
    string(REGEX REPLACE "([.+])" "\\\\\\1" escaped "${soname}")
    list(APPEND host_regexes "^${escaped}$")
endforeach()

install(TARGETS corvane RUNTIME_DEPENDENCY_SET corvane_bundle
        RUNTIME DESTINATION bin COMPONENT bundle)
install(FILES ${bundle_dir}/qt.conf DESTINATION bin COMPONENT bundle)

# Qt 6.4 cannot deploy on Linux by itself, so the plugins are named here:
# X11 with its OpenGL integrations, offscreen for headless runs and the input
# methods, from Qt's own targets; Debian 12 exports none for the Wayland
# plugins, which a desktop compositor asks for with its shell, decorations
# and OpenGL integration, so those are found by their paths. The window loads
# no image (the desktop draws its icon from the SVG), so no image format
# plugin is needed.
foreach(plugin QXcbIntegrationPlugin QXcbGlxIntegrationPlugin QXcbEglIntegrationPlugin
               QOffscreenIntegrationPlugin QComposePlatformInputContextPlugin
               QIbusPlatformInputContextPlugin)
    find_package(Qt6${plugin} REQUIRED CONFIG PATHS ${Qt6Gui_DIR} NO_DEFAULT_PATH)
    list(APPEND plugin_targets Qt6::${plugin})
endforeach()
set(qt_plugin_dir ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
foreach(plugin platforms/libqwayland-generic.so platforms/libqwayland-egl.so
               wayland-shell-integration/libxdg-shell.so wayland-decoration-client/libbradient.so
               wayland-graphics-integration-client/libqt-plugin-wayland-egl.so)
    if(NOT EXISTS ${qt_plugin_dir}/${plugin})
        message(FATAL_ERROR "${qt_plugin_dir}/${plugin} is missing: apt-get install qt6-wayland")
    endif()
    string(MAKE_C_IDENTIFIER "corvane_${plugin}" target)
    get_filename_component(type ${plugin} DIRECTORY)
    add_library(${target} MODULE IMPORTED)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${qt_plugin_dir}/${plugin} QT_PLUGIN_TYPE ${type})
    list(APPEND plugin_targets ${target})
endforeach()
# As imported modules, the plugins join the program's dependency set.
foreach(target IN LISTS plugin_targets)
    get_target_property(type ${target} QT_PLUGIN_TYPE)
    install(IMPORTED_RUNTIME_ARTIFACTS ${target} RUNTIME_DEPENDENCY_SET corvane_bundle
            LIBRARY DESTINATION plugins/${type} COMPONENT bundle)
endforeach()

install(RUNTIME_DEPENDENCY_SET corvane_bundle DESTINATION lib COMPONENT bundle
        PRE_EXCLUDE_REGEXES ${host_regexes})

# The launcher and the menu entry's installer, and what that installs: the
# .deb's entry, whose Exec line it points at this folder's launcher.
set(launched bin/corvane)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../corvane-launcher.in bundle/corvane @ONLY)
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/bundle/corvane ${bundle_dir}/install-desktop-entry
        DESTINATION . COMPONENT bundle)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${app_id}.desktop
        DESTINATION share/applications COMPONENT bundle)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${app_id}.metainfo.xml
        DESTINATION share/metainfo COMPONENT bundle)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../corvane.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT bundle)
install(FILES LICENSE DESTINATION . COMPONENT bundle)

# Relative RUNPATHs, the checks, the notices and licences of what was copied.
install(CODE "set(CORVANE_HOST_SONAMES \"${host_sonames}\")
              set(CORVANE_VERSION ${PROJECT_VERSION})
              set(PATCHELF ${CORVANE_PATCHELF})"
        COMPONENT bundle)
install(SCRIPT ${bundle_dir}/finish.cmake COMPONENT bundle)
list(APPEND CPACK_GENERATOR TXZ)
