# Run by CPack for each generator: the installer's name says that it sets Quibly up, beside the
# portable zip of the same name.
if(CPACK_GENERATOR MATCHES "^NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
