# Cross build for 32-bit Windows with the posix thread model: the GoogleTest programs of the
# 32-bit tests (GoogleTest needs std::mutex, which the win32 thread model of this GCC lacks).
# Never the release program: see mingw-i686.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
