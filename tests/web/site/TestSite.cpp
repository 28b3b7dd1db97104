// The web test site's entry point: runs the test program that the page's address names
// (?program=<name>), as Quibly's entry point runs Quibly.

#include "TestPrograms.h"

#include <array>
#include <cstdio>
#include <emscripten.h>

// The value of `program` in the page's query, as UTF-8 into `buffer`.
EM_JS(void, quibly_test_program_name, (char* buffer, int size),
      { stringToUTF8(new URLSearchParams(location.search).get("program") || "", buffer, size); });

int main(int argc, char** argv) {
    std::array<char, 64> name{};
    quibly_test_program_name(name.data(), int(name.size()));
    const FormsRuntime::Program* program = TestPrograms::Named(name.data());
    if (program == nullptr) {
        std::fprintf(stderr, "The test site has no program named \"%s\"\n", name.data());
        return 1;
    }
    return FormsRuntime::Start(argc, argv, *program);
}
