# Builds the web edition with Debian's emscripten: WebAssembly and the JavaScript that loads it.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emcc's JavaScript optimiser, run at link time, needs Debian's Node.js modules, which Node.js
# does not search by itself.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# Run-time errors are C++ exceptions that leave the running procedure, releasing what it holds.
set(CMAKE_CXX_FLAGS_INIT -fexceptions)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fexceptions)
