# Run by cpack after each package: the program and the installer carry the
# icon that Explorer, the title bar and the taskbar show, version details
# (Properties > Details), and a manifest that asks for no administrator
# rights; the program's also says it is made for Windows 10 and 11 and long
# paths. Without them Windows falls back to a generic icon and treats the
# program as one made for an older Windows. Read with wrestool (icoutils).
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)
find_program(WRESTOOL wrestool REQUIRED)

function(require file)
    cmake_parse_arguments(PARSE_ARGV 1 want "" "" "RESOURCES;MANIFEST")
    execute_process(COMMAND ${WRESTOOL} -l ${file} OUTPUT_VARIABLE resources COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${WRESTOOL} -x --raw --type=24 ${file} OUTPUT_VARIABLE manifest COMMAND_ERROR_IS_FATAL ANY)
    foreach(kind RESOURCES MANIFEST)
        string(TOLOWER ${kind} text)
        foreach(string IN LISTS want_${kind})
            string(FIND "${${text}}" "${string}" at)
            if(at EQUAL -1)
                message(FATAL_ERROR "${file}'s ${text} lacks ${string}")
            endif()
        endforeach()
    endforeach()
endfunction()

if(CPACK_GENERATOR STREQUAL "ZIP")
    list(GET CPACK_INSTALLED_DIRECTORIES 0 staged)
    require(${staged}/corvane.exe RESOURCES "--type=14 --name='IDI_ICON1'" "--type=16 " "--type=24 --name=1 "
            MANIFEST "level=\"asInvoker\"" "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" ">true</longPathAware>")
else()
    require(${CPACK_PACKAGE_FILES} RESOURCES "--type=14 " "--type=16 " "--type=24 " MANIFEST "level=\"asInvoker\"")
endif()
cmake_policy(POP)
