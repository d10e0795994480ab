# The second compiler, and the one that ships: Debian's clang for the same
# target as toolchain-i686-mingw.cmake, linked by lld.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-clang.cmake)
