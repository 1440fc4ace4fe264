# Read by cpack for each generator: the installer is named apart from the
# zip, and its uninstaller deletes the staged files and folders in name
# order rather than in the order the file system lists them, so that the
# same files give the same installer. Deeper folders go first.
if(CPACK_GENERATOR STREQUAL "NSIS")
    string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
    list(GET CPACK_INSTALLED_DIRECTORIES 0 staged)
    file(GLOB_RECURSE files RELATIVE "${staged}" "${staged}/*")
    file(GLOB_RECURSE folders RELATIVE "${staged}" LIST_DIRECTORIES true "${staged}/*")
    list(REMOVE_ITEM folders ${files})
    list(SORT files)
    list(SORT folders ORDER DESCENDING)
    set(CPACK_NSIS_DELETE_FILES "")
    foreach(file IN LISTS files)
        string(REPLACE "/" "\\" file "${file}")
        string(APPEND CPACK_NSIS_DELETE_FILES "  Delete \"$INSTDIR\\${file}\"\n")
    endforeach()
    set(CPACK_NSIS_DELETE_DIRECTORIES "")
    foreach(folder IN LISTS folders)
        string(REPLACE "/" "\\" folder "${folder}")
        string(APPEND CPACK_NSIS_DELETE_DIRECTORIES "  RMDir \"$INSTDIR\\${folder}\"\n")
    endforeach()
endif()
