# Run by cpack after each package is made: the manifests through which
# package managers install it, with its download address and SHA-256, in
# manifests/ beside the packages. winget installs the installer, Scoop the
# zip; Scoop keeps "data" across updates itself.
set(download_url "${CPACK_PACKAGE_HOMEPAGE_URL}/releases/download/v${CPACK_PACKAGE_VERSION}")
set(templates "${CMAKE_CURRENT_LIST_DIR}/manifests")
foreach(file IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(package "${file}" NAME)
    file(SHA256 "${file}" sha256)
    if(CPACK_GENERATOR STREQUAL "NSIS")
        set(out "${CPACK_PACKAGE_DIRECTORY}/manifests/winget")
        foreach(manifest Corvane.Corvane.yaml Corvane.Corvane.installer.yaml
                         Corvane.Corvane.locale.en-US.yaml)
            configure_file("${templates}/${manifest}.in" "${out}/${manifest}" @ONLY)
        endforeach()
    elseif(CPACK_GENERATOR STREQUAL "ZIP")
        configure_file("${templates}/corvane.json.in"
                       "${CPACK_PACKAGE_DIRECTORY}/manifests/scoop/corvane.json" @ONLY)
    endif()
endforeach()
