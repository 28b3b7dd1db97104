# QUIBLY_SANITIZE: AddressSanitizer with LeakSanitizer, and UndefinedBehaviorSanitizer, for
# the whole program and its tests. Any report ends the run with a failure.
if(QUIBLY_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${sanitizers})
    add_link_options(${sanitizers})
endif()
