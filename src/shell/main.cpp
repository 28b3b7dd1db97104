#include "shell/Program.h"

int main(int argc, char** argv) {
    return FormsRuntime::Start(argc, argv, QuiblyProgram);
}
