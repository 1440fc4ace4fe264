# Run by cpack after each package is made, before anything takes its hash.
# CPack's archives list their files in the order the file system gives them,
# owned by whoever built them, with the modes the umask left; its .deb
# records the size the files take on this file system. Each package is made
# again from its contents: sorted, owned by root, readable by all, every
# file dated CPACK_CORVANE_SOURCE_DATE_EPOCH, the .deb with its size counted
# as dpkg-gencontrol counts it. The same sources then give the same bytes.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)

set(epoch ${CPACK_CORVANE_SOURCE_DATE_EPOCH})

function(run)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC LC_ALL=C SOURCE_DATE_EPOCH=${epoch} ${ARGN}
                    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(work "${package}.repack")
    file(REMOVE_RECURSE "${work}")
    file(MAKE_DIRECTORY "${work}")
    if(package MATCHES "\\.deb$")
        run(dpkg-deb --raw-extract "${package}" "${work}")
        run(chmod -R go=u,go-w "${work}")
        # Each file in KiB rounded up, anything else one.
        file(GLOB_RECURSE entries LIST_DIRECTORIES true "${work}/*")
        list(FILTER entries EXCLUDE REGEX "/DEBIAN(/|$)")
        set(size 0)
        foreach(entry IN LISTS entries)
            if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
                math(EXPR size "${size} + 1")
            else()
                file(SIZE "${entry}" bytes)
                math(EXPR size "${size} + (${bytes} + 1023) / 1024")
            endif()
        endforeach()
        file(READ "${work}/DEBIAN/control" control)
        string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${size}\n" control "${control}")
        file(WRITE "${work}/DEBIAN/control" "${control}")
        run(dpkg-deb --root-owner-group -Zgzip --build "${work}" "${package}")
    elseif(package MATCHES "\\.tar\\.(gz|xz)$")
        run(tar -xf "${package}" -C "${work}")
        file(GLOB top RELATIVE "${work}" "${work}/*")
        if(CMAKE_MATCH_1 STREQUAL "gz")
            set(compress gzip -9n)
        else()
            set(compress xz -6 -T1)
        endif()
        execute_process(COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner --mode=go=u,go-w
                                --mtime=@${epoch} --format=gnu -C "${work}" -cf - ${top}
                        COMMAND ${compress} OUTPUT_FILE "${package}" COMMAND_ERROR_IS_FATAL ANY)
    elseif(package MATCHES "\\.zip$")
        run(unzip -q "${package}" -d "${work}")
        run(chmod -R go=u,go-w "${work}")
        run(find "${work}" -exec touch -h -d @${epoch} {} +)
        file(GLOB_RECURSE files RELATIVE "${work}" "${work}/*")
        list(SORT files)
        list(JOIN files "\n" files)
        file(WRITE "${work}.list" "${files}\n")
        file(REMOVE "${package}")
        execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -q -9 "${package}" -@
                        WORKING_DIRECTORY "${work}" INPUT_FILE "${work}.list" COMMAND_ERROR_IS_FATAL ANY)
        file(REMOVE "${work}.list")
    endif()
    file(REMOVE_RECURSE "${work}")
endforeach()
cmake_policy(POP)
