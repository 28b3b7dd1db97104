# The hardened build every configuration gets: a position-independent executable, full RELRO
# with immediate binding, a non-executable stack, stack protection and, where optimisation
# makes it work, _FORTIFY_SOURCE. Sanitizer builds keep everything but the fortified calls,
# which the sanitizers replace with checks of their own.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection)
if(NOT QUIBLY_SANITIZE)
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()
add_link_options(-Wl,-z,relro -Wl,-z,now -Wl,-z,noexecstack)
