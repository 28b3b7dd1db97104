# Run by CPack for each package between staging its files and packing them, and again on the
# packages it made. The packages hold no trace of when, where or by whom they were made: every
# file and folder is dated at the source's date (SOURCE_DATE_EPOCH, which
# cmake/PackageFileNames.cmake sets) and readable by all, writable only by its owner, whatever
# the builder's umask; and strip-nondeterminism puts the members of a zip in the order of their
# names, which the staging folder's listing does not keep.

if(NOT DEFINED CPACK_PACKAGE_FILES)
    set(staged ${CPACK_TEMPORARY_INSTALL_DIRECTORY})
    execute_process(COMMAND chmod -R u+rwX,go+rX,go-w ${staged} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find ${staged} -exec
                            touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH} {} +
                    COMMAND_ERROR_IS_FATAL ANY)
    return()
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(package MATCHES "\\.zip$")
        find_program(STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)
        execute_process(COMMAND ${STRIP_NONDETERMINISM} --timestamp $ENV{SOURCE_DATE_EPOCH}
                                ${package}
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
