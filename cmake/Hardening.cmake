# WebAssembly runs in the browser's sandbox, whose memory holds no code and no return address
# to overwrite: none of the native hardening applies there.
if(EMSCRIPTEN)
    return()
endif()

# The hardened build every configuration gets. Sanitizer builds keep everything but the fortified
# calls, which the sanitizers replace with checks of their own.
add_compile_options(-fstack-protector-strong)
if(NOT QUIBLY_SANITIZE)
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()

if(WIN32)
    # A Windows executable that needs no DLL beyond the system's own (the C++ and GCC runtimes
    # and the thread library linked in), loaded at a random high address (ASLR with 64-bit
    # entropy) with its data not executable (DEP).
    add_link_options(-static -static-libgcc -static-libstdc++ -fstack-protector-strong
                     -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
    # A release carries no symbol table: half the file's size, and nothing a user needs.
    add_link_options($<$<CONFIG:Release>:-s>)
    return()
endif()

# A position-independent executable, full RELRO with immediate binding, a non-executable stack.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-clash-protection -fcf-protection)
add_link_options(-Wl,-z,relro -Wl,-z,now -Wl,-z,noexecstack)
