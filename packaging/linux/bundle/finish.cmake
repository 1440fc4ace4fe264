# Runs at install time, after the bundle's files are copied: gives the
# program and every copied library and plugin a RUNPATH relative to itself,
# refuses a bundle that would not run on the oldest system it is for, and
# writes the notices and licences of what was copied. Expects CORVANE_HOST_SONAMES,
# CORVANE_VERSION and PATCHELF.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)

# Ubuntu 22.04's: glibc 2.35, and the libstdc++ of GCC 12.
set(max_glibc 2.35)
set(max_glibcxx 3.4.30)

set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
find_program(OBJDUMP objdump REQUIRED)

file(GLOB libraries LIST_DIRECTORIES false RELATIVE ${root} ${root}/lib/*)
file(GLOB plugins LIST_DIRECTORIES false RELATIVE ${root} ${root}/plugins/*/*.so)
set(copied)
foreach(file IN LISTS libraries plugins)
    if(NOT IS_SYMLINK ${root}/${file})
        list(APPEND copied ${file})
    endif()
endforeach()

# Each file looks for the others only through its own RUNPATH, never through
# LD_LIBRARY_PATH, which would be handed on to every program Corvane starts.
foreach(file IN LISTS copied ITEMS bin/corvane)
    if(file MATCHES "^plugins/")
        set(runpath "$ORIGIN/../../lib")
    elseif(file MATCHES "^bin/")
        set(runpath "$ORIGIN/../lib")
    else()
        set(runpath "$ORIGIN")
    endif()
    execute_process(COMMAND ${PATCHELF} --set-rpath ${runpath} ${root}/${file}
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(problems)
foreach(file bin/corvane ${copied})
    execute_process(COMMAND ${OBJDUMP} -p ${root}/${file} OUTPUT_VARIABLE headers
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${OBJDUMP} -T ${root}/${file} OUTPUT_VARIABLE symbols
                    COMMAND_ERROR_IS_FATAL ANY)
    get_filename_component(name ${file} NAME)
    string(REGEX MATCH "\n +SONAME +([^\n]+)" soname "${headers}")
    set(soname "${CMAKE_MATCH_1}")
    if(name IN_LIST CORVANE_HOST_SONAMES OR soname IN_LIST CORVANE_HOST_SONAMES)
        list(APPEND problems "${file} is a library of host-libraries, which the host must provide")
    endif()
    string(REGEX MATCHALL "\n +NEEDED +[^\n]+" needed "${headers}")
    foreach(line IN LISTS needed)
        string(REGEX REPLACE "^\n +NEEDED +" "" library "${line}")
        if(NOT EXISTS ${root}/lib/${library} AND NOT library IN_LIST CORVANE_HOST_SONAMES)
            list(APPEND problems "${file} needs ${library}, neither bundled nor in host-libraries")
        endif()
    endforeach()
    foreach(prefix GLIBC_ GLIBCXX_)
        string(REGEX MATCHALL "${prefix}[0-9.]+" versions "${symbols}")
        list(REMOVE_DUPLICATES versions)
        list(TRANSFORM versions REPLACE "^${prefix}" "")
        list(SORT versions COMPARE NATURAL)
        list(POP_BACK versions newest)
        if(prefix STREQUAL "GLIBC_")
            set(limit ${max_glibc})
        else()
            set(limit ${max_glibcxx})
        endif()
        if(newest VERSION_GREATER limit)
            list(APPEND problems "${file} needs ${prefix}${newest}, newer than ${prefix}${limit}")
        endif()
    endforeach()
endforeach()
if(problems)
    list(JOIN problems "\n  " problems)
    message(FATAL_ERROR "The bundle would not run everywhere it is meant to:\n  ${problems}")
endif()

# Which Debian package each copied file came from.
set(packages)
foreach(file IN LISTS copied)
    get_filename_component(name ${file} NAME)
    if(file MATCHES "^plugins/")
        set(pattern "*/qt6/${file}")
    else()
        set(pattern "*/${name}")
    endif()
    execute_process(COMMAND dpkg-query -S ${pattern} OUTPUT_VARIABLE owners
                    COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "(^|\n)[^:\n]+" owners "${owners}")
    list(TRANSFORM owners STRIP)
    list(REMOVE_DUPLICATES owners)
    list(LENGTH owners count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "${file}: not one package ships it but ${owners}")
    endif()
    list(APPEND packages ${owners})
    string(MAKE_C_IDENTIFIER "${owners}" key)
    list(APPEND files_${key} ${file})
endforeach()
list(REMOVE_DUPLICATES packages)
list(SORT packages)

set(list_text "")
set(sources)
foreach(package IN LISTS packages)
    execute_process(COMMAND dpkg-query -W "-f=\${Version}\n\${source:Package}\n\${source:Version}"
                            ${package}
                    OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" fields "${fields}")
    list(GET fields 0 version)
    list(GET fields 1 source)
    list(GET fields 2 source_version)
    file(READ /usr/share/doc/${package}/copyright copyright)
    file(WRITE ${root}/licenses/${package}-copyright.txt "${copyright}")
    string(MAKE_C_IDENTIFIER "${package}" key)
    list(JOIN files_${key} "\n    " names)
    string(APPEND list_text "\n${package} ${version} (source ${source} ${source_version})\n"
           "  licence: licenses/${package}-copyright.txt\n"
           "  files:\n    ${names}\n")
    list(APPEND sources "${source}=${source_version}")
endforeach()
list(REMOVE_DUPLICATES sources)
list(SORT sources)
set(source_text "")
foreach(source IN LISTS sources)
    string(REPLACE "=" ";" fields "${source}")
    list(GET fields 0 name)
    list(GET fields 1 version)
    string(REPLACE "+" "%2B" url_version "${version}")
    string(REPLACE ":" "%3A" url_version "${url_version}")
    string(APPEND source_text "  ${name} ${version}\n"
           "    https://snapshot.debian.org/package/${name}/${url_version}/\n")
endforeach()

file(WRITE ${root}/THIRD-PARTY-NOTICES.txt
"Corvane for Linux: third-party notices
======================================

Corvane ${CORVANE_VERSION} itself is free software under the MIT licence; see
LICENSE.

Beside the program this folder carries, in lib/ and plugins/, the libraries
and Qt plugins listed below, copied from the Debian 12 (\"bookworm\")
packages named with them. They are Debian's files unchanged, except that
patchelf set each one's RUNPATH so that it finds the others in lib/. The
libraries the bundle takes from your system (glibc, the C++ runtime,
OpenGL, X11 and Wayland client libraries, fontconfig, FreeType, HarfBuzz,
expat and zlib) are not part of it.

The licences and copyright holders of each package are in Debian's
copyright file for it, copied to licenses/<package>-copyright.txt. Qt
(libQt6*.so.6 and everything in plugins/) is under the GNU Lesser General
Public License version 3 (see licenses/libqt6core6-copyright.txt for the
text and the parts under other licences). Corvane links to Qt dynamically:
to use a Qt of your own, build Qt 6.4 (the qtbase and qtwayland modules),
put its libraries and plugins over the files of the same names in lib/ and
plugins/, and give each the same RUNPATH (\"patchelf --set-rpath '$ORIGIN'
lib/libQt6Core.so.6\", '$ORIGIN/../../lib' for a plugin).

Each package's source is Debian's source package of the version named
here; \"apt-get source <source>=<version>\" fetches it while Debian's mirrors
carry it, and Debian's snapshot archive keeps it:

${source_text}
Packages and files
------------------
${list_text}")
cmake_policy(POP)
