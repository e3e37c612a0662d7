# Cross build for 32-bit Windows: the release program. The win32 thread model keeps the MinGW
# runtime's posix thread layer (libwinpthread) out: it imports functions that Windows 98, Me, 2000
# and XP lack (GetTickCount64, AddVectoredExceptionHandler, TryEnterCriticalSection), and the
# loader refuses a program with a missing import. tools/check-imports.sh holds it to that.
# This machine's kernel runs no 32-bit code; the tests run under the 32-bit Wine of
# tools/win32-runner.sh (the `wine` of tools/wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
