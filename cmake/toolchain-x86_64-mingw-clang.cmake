# The 64-bit build, with the compiler and linker of the one that ships: the
# programs and every test for x86_64 Windows, run under 64-bit Wine where a
# machine runs no 32-bit program.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-clang.cmake)
