// A small program in which every hardening property can show: a stack buffer for the stack
// protector to guard, and a bounded print into it that _FORTIFY_SOURCE turns into a checked call.

#include <cstdio>

int main(int argc, char** argv) {
    char line[64];
    std::snprintf(line, sizeof line, "%s %d", argv[0], argc);
    return std::puts(line) < 0 ? 1 : 0;
}
