# Read by cpack for each generator: the bundle's archive holds its own
# component in a folder of its name, the others what the .deb installs.
if(CPACK_GENERATOR STREQUAL "TXZ")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_CORVANE_BUILD_DIR};Corvane;bundle;/")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_CORVANE_BUNDLE_NAME}")
else()
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_CORVANE_BUILD_DIR};Corvane;Unspecified;/")
endif()
