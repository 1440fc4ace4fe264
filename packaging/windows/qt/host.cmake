# Qt's host tools (moc, rcc, uic ...) that the cross build of Qt and Corvane's
# own run: just what running them needs, with Qt's own copies of the
# libraries rather than whatever -dev packages the machine has. Loaded with
# cmake -C by build-qt.sh.
foreach(feature gui widgets network sql testlib printsupport concurrent dbus xml icu glib zstd
                system_zlib system_pcre2 system_doubleconversion system_libb2)
    set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
