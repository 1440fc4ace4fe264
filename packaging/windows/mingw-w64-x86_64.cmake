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

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})

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
