# Read by cpack for each generator: the installer is named apart from the zip.
if(CPACK_GENERATOR STREQUAL "NSIS")
    string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
endif()
