# The shipped program: 32-bit Windows, Debian's mingw-w64 (win32 thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PINDLE_TRIPLET i686-w64-mingw32)
# The shipped program uses the win32 thread model: it needs no threading library.
set(PINDLE_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# These machines cannot execute 32-bit programs: no emulator, no tests in this build.
