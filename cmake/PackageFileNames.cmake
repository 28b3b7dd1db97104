# Run by CPack for each generator, before it installs and strips the files it packs. Every date
# it and the tools it runs write (strip's PE time stamp, the archives' member times) is the
# source's, and zip's local times are UTC.
set(ENV{SOURCE_DATE_EPOCH} ${CPACK_QUIBLY_SOURCE_DATE_EPOCH})
set(ENV{TZ} UTC)

# The installer's name says that it sets Quibly up, beside the portable zip of the same name.
if(CPACK_GENERATOR MATCHES "^NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
