# The same source gives the same bytes, on any machine and at any time. Every date a build writes
# is the source's own: SOURCE_DATE_EPOCH where the builder sets it, else the last commit's time,
# else (a tree without its history) noon of the release day. No path of the build machine gets
# into an output: the compilers write the tree's folders as ".".

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(QUIBLY_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    execute_process(COMMAND git log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE QUIBLY_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT QUIBLY_SOURCE_DATE_EPOCH)
        execute_process(COMMAND date --utc --date "${QUIBLY_RELEASE_DATE} 12:00" +%s
                        OUTPUT_VARIABLE QUIBLY_SOURCE_DATE_EPOCH
                        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    endif()
endif()
if(NOT QUIBLY_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${QUIBLY_SOURCE_DATE_EPOCH}\", not seconds since 1970")
endif()
# string(TIMESTAMP) and every tool the configuration runs read it from here.
set(ENV{SOURCE_DATE_EPOCH} ${QUIBLY_SOURCE_DATE_EPOCH})

# Build steps get it too, whatever the environment of the build: the Windows linker takes the
# executable's time stamp from it, fontTools the fonts' dates.
set(QUIBLY_WITH_SOURCE_DATE ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${QUIBLY_SOURCE_DATE_EPOCH})
if(WIN32)
    set(CMAKE_CXX_LINKER_LAUNCHER ${QUIBLY_WITH_SOURCE_DATE})
endif()

foreach(dir IN LISTS PROJECT_SOURCE_DIR PROJECT_BINARY_DIR)
    add_compile_options(-ffile-prefix-map=${dir}=.)
endforeach()
