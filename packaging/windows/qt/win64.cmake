# Qt for 64-bit Windows, as Corvane ships it. Loaded with cmake -C by
# build-qt.sh, beside the toolchain file.
set(BUILD_SHARED_LIBS ON CACHE BOOL "")
# Only what the program and its tests use: Core, Gui, Widgets, Test.
foreach(feature network sql printsupport dbus concurrent xml vulkan jpeg icu zstd)
    set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
set(FEATURE_testlib ON CACHE BOOL "")
set(FEATURE_widgets ON CACHE BOOL "")
# The feature alone is not enough on Windows: "dynamic OpenGL" stays on and
# the platform plugin then no longer compiles, while turning that off
# without INPUT_opengl=no stops configure with an OpenGL error.
set(FEATURE_opengl OFF CACHE BOOL "")
set(FEATURE_opengl_dynamic OFF CACHE BOOL "")
set(INPUT_opengl no CACHE STRING "")
# Screen readers reach the window through it; configure fails rather than
# quietly dropping it.
set(FEATURE_accessibility ON CACHE BOOL "")
# gcc-mingw-w64 12 stops with an internal error in its SEH unwind code on the
# bundled PCRE2 and HarfBuzz when this is on.
set(FEATURE_stack_clash_protection OFF CACHE BOOL "")
# There is no Windows copy of these libraries to link against, so Qt's own
# copies are built into the DLLs; and pkg-config would report the host's
# Linux libraries.
foreach(feature system_zlib system_pcre2 system_png system_freetype system_harfbuzz
                system_doubleconversion system_libb2 pkg_config)
    set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
# Debian's tarball drops the bundled wintab headers that tablet support needs.
set(FEATURE_tabletevent OFF CACHE BOOL "")
# direct2d itself must stay: the Windows platform plugin only builds its
# DirectWrite font database with it. The 1.1 API is what MinGW lacks.
set(FEATURE_direct2d1_1 OFF CACHE BOOL "")
