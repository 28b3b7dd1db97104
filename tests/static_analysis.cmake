# Static analysis of the program, its tools and benchmarks, run by CTest with the build's own
# compile commands: clang-tidy with the checks in .clang-tidy, and cppcheck. Any finding fails.
find_program(CLANG_TIDY clang-tidy REQUIRED)
find_program(CPPCHECK cppcheck REQUIRED)

# In parts, so that CTest can analyse them side by side.
foreach(part IN ITEMS src tools bench)
    file(GLOB_RECURSE ${part}_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${part}/*.cpp)
endforeach()
# The Win32 backend compiles only in the Windows build, whose compile commands clang-tidy cannot
# follow into the MinGW headers; cppcheck, which needs none, reads it below.
list(FILTER src_sources EXCLUDE REGEX "/src/runtime/win32/")
# The web backend likewise compiles only in the web build, against emscripten's headers; of it,
# this build compiles (for its tests) and clang-tidy reads the window description and its JSON.
# cppcheck reads it all, told that the calls into the page are declared with emscripten's macros,
# and that the web test driver describes its JSON with nlohmann's (cppcheck reads no system header).
# cppcheck 2.17 counts as a finding that it limits how many branches it follows: it is a note.
list(FILTER src_sources EXCLUDE REGEX "/src/runtime/web/(PageCalls|WebBackend|WebWindow)")
# The runtime is half of the program's analysis time: it is a test of its own, so that CTest can
# run it beside the rest.
set(runtime_sources ${src_sources})
list(FILTER runtime_sources INCLUDE REGEX "/src/runtime/")
list(FILTER src_sources EXCLUDE REGEX "/src/runtime/")
add_test(NAME clang_tidy_runtime COMMAND ${CLANG_TIDY} -p ${PROJECT_BINARY_DIR} --quiet ${runtime_sources})
add_test(NAME clang_tidy_program COMMAND ${CLANG_TIDY} -p ${PROJECT_BINARY_DIR} --quiet ${src_sources})
add_test(NAME clang_tidy_tools
         COMMAND ${CLANG_TIDY} -p ${PROJECT_BINARY_DIR} --quiet ${tools_sources} ${bench_sources})
add_test(NAME cppcheck
         COMMAND ${CPPCHECK} --enable=warning,performance,portability --std=c++20 --error-exitcode=1
                 --inline-suppr --quiet --library=googletest --suppress=missingIncludeSystem --suppress=missingInclude
                 --suppress=normalCheckLevelMaxBranches
                 --suppress=unknownMacro:*/runtime/web/PageCalls.h --suppress=unknownMacro:*/tests/support/web/*
                 -I ${PROJECT_SOURCE_DIR}/src -I ${PROJECT_BINARY_DIR}/src/shell/include
                 ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools ${PROJECT_SOURCE_DIR}/bench
                 ${PROJECT_SOURCE_DIR}/tests)
set_tests_properties(clang_tidy_runtime clang_tidy_program clang_tidy_tools cppcheck PROPERTIES LABELS lint TIMEOUT 900)
