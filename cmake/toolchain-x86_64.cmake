# The same code for 64-bit Windows, so that it runs under wine64 on the test machines.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PINDLE_TRIPLET x86_64-w64-mingw32)
# GoogleTest needs std::mutex, which only the posix thread model of mingw-w64 has;
# everything is linked statically, so no threading DLL is needed.
set(PINDLE_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Every test program runs under Wine in a private prefix and display of its own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine-run)
