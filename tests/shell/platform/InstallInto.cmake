# Installs the build tree BUILD_DIR into a fresh staging root STAGING_DIR under the prefix /usr,
# as a distribution package build would.
#   cmake -DBUILD_DIR=<build> -DSTAGING_DIR=<dir> -P InstallInto.cmake

foreach(variable BUILD_DIR STAGING_DIR)
    if(NOT ${variable})
        message(FATAL_ERROR "InstallInto.cmake: ${variable} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${STAGING_DIR}")
set(ENV{DESTDIR} "${STAGING_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "installing ${BUILD_DIR} into ${STAGING_DIR} failed: ${result}")
endif()
