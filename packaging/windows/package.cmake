# The Windows packages, from one tree that packaging/windows/build.sh stages
# with `cmake --install` and checks: a zip to unpack and run anywhere, and a
# per-user installer (NSIS.template.in beside this file) of the same files.

install(TARGETS corvane RUNTIME_DEPENDENCY_SET corvane_dlls RUNTIME DESTINATION .)
# Qt's libraries, and the plugins Qt loads at run time rather than imports.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets
        RUNTIME_DEPENDENCY_SET corvane_dlls DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin
        RUNTIME_DEPENDENCY_SET corvane_dlls DESTINATION platforms)
foreach(style QWindowsVistaStylePlugin QModernWindowsStylePlugin)
    if(TARGET Qt6::${style})
        install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${style}
                RUNTIME_DEPENDENCY_SET corvane_dlls DESTINATION styles)
    endif()
endforeach()

# What all of those import from the compiler's runtime (libstdc++, libgcc,
# libwinpthread). Qt's libraries are left to the lines above: CMake reads
# imported names in lower case, as Windows matches them, and so cannot find
# Qt6Core.dll on a file system that tells case apart. Windows' own DLLs are
# never shipped.
if(MINGW)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                    OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    get_filename_component(gcc_dll_dir "${libstdcxx}" DIRECTORY)
    # The toolchain's roots, the chosen MinGW-w64 tree first, hold libwinpthread.
    list(TRANSFORM CMAKE_FIND_ROOT_PATH APPEND /lib OUTPUT_VARIABLE root_lib_dirs)
    install(RUNTIME_DEPENDENCY_SET corvane_dlls DESTINATION .
            PRE_INCLUDE_REGEXES "^lib"
            PRE_EXCLUDE_REGEXES "."
            DIRECTORIES ${gcc_dll_dir} ${root_lib_dirs})
    # Cross-built on Linux, the tests run under Wine, finding the DLLs in the
    # same places: beside Qt's own Qt6::Core, and the runtime's.
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
        get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
        get_filename_component(qt_bin "${qt_core}" DIRECTORY)
        list(JOIN root_lib_dirs ":" root_lib_dirs)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh "${qt_bin}:${gcc_dll_dir}:${root_lib_dirs}")
    endif()
endif()

install(FILES LICENSE packaging/THIRD-PARTY-NOTICES.txt DESTINATION .)
# The licence texts of the Qt and MinGW-w64 builds that the cross build
# bundles and of the installer's stub: from the Qt source the DLLs were built
# from, and Debian's copyright files of that source and of the packages that
# built them.
if(CORVANE_MINGW_ROOT)
    set(qt_licenses "${QT6_INSTALL_PREFIX}/licenses")
    set(texts "${qt_licenses}/qt6-base-copyright.txt")
    foreach(id LGPL-3.0-only GPL-3.0-only GPL-2.0-only BSD-2-Clause BSD-3-Clause MIT Zlib
               Apache-2.0 CC0-1.0 Unicode-DFS-2016 Unicode-3.0 FTL Libpng libpng-2.0
               MIT-open-group X11 HPND LicenseRef-ICC-License LicenseRef-SHA1-Public-Domain
               LicenseRef-BSD-3-Clause-with-PCRE2-Binary-Like-Packages-Exception)
        list(APPEND texts "${qt_licenses}/${id}.txt")
    endforeach()
    install(FILES ${texts} DESTINATION licenses)
    install(FILES "${qt_licenses}/QIMAGETRANSFORM_LICENSE.txt"
            DESTINATION licenses RENAME Imlib2.txt)
    install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
            DESTINATION licenses RENAME gcc-mingw-w64-copyright.txt)
    install(FILES "${CORVANE_MINGW_ROOT}/copyright"
            DESTINATION licenses RENAME mingw-w64-copyright.txt)
    install(FILES /usr/share/doc/nsis/copyright
            DESTINATION licenses RENAME nsis-copyright.txt)
    # Screen readers reach the window through Qt's accessibility.
    file(STRINGS "${QT6_INSTALL_PREFIX}/include/QtGui/qtgui-config.h" accessible
         REGEX "^#define QT_FEATURE_accessibility 1$")
    if(NOT accessible)
        message(FATAL_ERROR "Qt for Windows in ${QT6_INSTALL_PREFIX} was built without accessibility")
    endif()
    # The notices name the exact Qt source that the DLLs were built from.
    file(STRINGS "${QT6_INSTALL_PREFIX}/.corvane-inputs" qt_source REGEX "^source=")
    string(REPLACE "source=" "" qt_source "${qt_source}")
    file(READ ${CMAKE_SOURCE_DIR}/packaging/THIRD-PARTY-NOTICES.txt notices)
    string(FIND "${notices}" "${qt_source}.dsc" at)
    if(qt_source STREQUAL "" OR at EQUAL -1)
        message(FATAL_ERROR "THIRD-PARTY-NOTICES.txt does not name ${qt_source}.dsc, which Qt was built from")
    endif()
endif()

set(CPACK_PACKAGE_NAME Corvane)
set(CPACK_PACKAGE_FILE_NAME "Corvane-${PROJECT_VERSION}-win64")
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
# Both packages take the staged tree as it is, never an install of their own.
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALLED_DIRECTORIES "${CMAKE_BINARY_DIR}/stage;.")
# The same folder and Apps entry for every version, so that an update
# replaces the one before.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Corvane)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Corvane)
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_NSIS_MUI_ICON "${CORVANE_ICON}")
set(CPACK_NSIS_MUI_UNIICON "${CORVANE_ICON}")
# Checked, made again byte for byte from the same sources, then described by
# the package managers' manifests, with their hashes.
set(CPACK_CORVANE_SOURCE_DATE_EPOCH ${CORVANE_SOURCE_DATE_EPOCH})
set(CPACK_CORVANE_RELEASE_DAY ${CORVANE_RELEASE_DAY})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/check-resources.cmake
    ${CMAKE_CURRENT_LIST_DIR}/../repack.cmake ${CMAKE_CURRENT_LIST_DIR}/manifests.cmake)
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/cpack-per-generator.cmake")
# CPack's own template asks for administrator rights and installs for all users.
list(PREPEND CMAKE_MODULE_PATH "${CMAKE_CURRENT_LIST_DIR}")
include(CPack)
