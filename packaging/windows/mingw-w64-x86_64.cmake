# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain.
#
# The -posix variants are used on purpose: the win32 thread model lacks
# std::thread/std::mutex in libstdc++, which Qt and our own code rely on.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLET}-windres)

# How install(RUNTIME_DEPENDENCY_SET) reads the DLLs a Windows program imports
# when CMake itself runs on Linux.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})

# A MinGW-w64 tree (include/, lib/) to use instead of the installed one;
# packaging/windows/build-qt.sh unpacks a newer release there. gcc offers no
# flag that swaps only its MinGW-w64 directory, so the standard include path
# is dropped and written out again in gcc's own order with that one entry
# replaced; -B makes the startup objects come from the same tree.
set(CORVANE_MINGW_ROOT "" CACHE PATH "MinGW-w64 headers and libraries to use instead of the installed ones")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CORVANE_MINGW_ROOT)
if(CORVANE_MINGW_ROOT)
    execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=include
                    OUTPUT_VARIABLE _corvane_gcc_include OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    set(_corvane_c_dirs ${_corvane_gcc_include} ${_corvane_gcc_include}-fixed ${CORVANE_MINGW_ROOT}/include)
    set(_corvane_cxx_dirs ${_corvane_gcc_include}/c++ ${_corvane_gcc_include}/c++/${MINGW_TRIPLET}
                          ${_corvane_gcc_include}/c++/backward ${_corvane_c_dirs})
    list(JOIN _corvane_c_dirs " -isystem " _corvane_c_flags)
    list(JOIN _corvane_cxx_dirs " -isystem " _corvane_cxx_flags)
    set(CMAKE_C_FLAGS_INIT "-nostdinc -isystem ${_corvane_c_flags}")
    set(CMAKE_CXX_FLAGS_INIT "-nostdinc -isystem ${_corvane_cxx_flags}")
    foreach(_corvane_kind EXE SHARED MODULE)
        set(CMAKE_${_corvane_kind}_LINKER_FLAGS_INIT "-B${CORVANE_MINGW_ROOT}/lib/ -L${CORVANE_MINGW_ROOT}/lib")
    endforeach()
    list(PREPEND CMAKE_FIND_ROOT_PATH ${CORVANE_MINGW_ROOT})
    # Qt for Windows and Corvane both compile against headers in the cache
    # that holds that tree: no path of it in what they build.
    get_filename_component(_corvane_cache "${CORVANE_MINGW_ROOT}" DIRECTORY)
    foreach(_corvane_lang C CXX)
        string(APPEND CMAKE_${_corvane_lang}_FLAGS_INIT " -ffile-prefix-map=${_corvane_cache}=/corvane-win64")
    endforeach()
    unset(_corvane_gcc_include)
    unset(_corvane_c_dirs)
    unset(_corvane_cxx_dirs)
    unset(_corvane_c_flags)
    unset(_corvane_cxx_flags)
    unset(_corvane_kind)
    unset(_corvane_cache)
    unset(_corvane_lang)
endif()

# Target-side packages living elsewhere on the host (a cross-built Qt, say)
# are passed in through CMAKE_PREFIX_PATH. With the ONLY modes below CMake
# would re-root those prefixes under /usr/${MINGW_TRIPLET} and miss them, so
# each one is also made a root of its own; paths already under a root are
# searched as they are.
foreach(_corvane_prefix IN LISTS CMAKE_PREFIX_PATH)
  list(APPEND CMAKE_FIND_ROOT_PATH "${_corvane_prefix}")
endforeach()
unset(_corvane_prefix)
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)

# Build tools (moc, rcc, ninja, wine ...) must come from the host, while
# libraries, headers and CMake packages must come from the target side.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
