# What both clang toolchain files share: Debian's clang for a MinGW-w64
# target (TOOLCHAIN_PREFIX, set by the file that includes this one), linked by
# lld. It uses the same MinGW-w64 headers and import libraries, the same C++
# library and runtime (those of the posix-thread GCC: libstdc++, libgcc,
# winpthreads, crtbegin/crtend) and the same archiver and resource compiler
# (binutils) as the GCC build.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_AR           ${TOOLCHAIN_PREFIX}-ar)
set(CMAKE_RANLIB       ${TOOLCHAIN_PREFIX}-ranlib)
set(CMAKE_OBJDUMP      ${TOOLCHAIN_PREFIX}-objdump)
set(CMAKE_SYSROOT      /usr/${TOOLCHAIN_PREFIX})

# clang does not find Debian's GCC for this target by itself (its folder is
# named 12-posix, which is no version number), so the C++ library's headers
# and the runtime are named here. -B makes the driver link GCC's crtbegin.o,
# which registers the unwind tables: with MinGW-w64's own, no exception is
# ever caught.
execute_process(COMMAND ${TOOLCHAIN_PREFIX}-gcc-posix -print-libgcc-file-name
  OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(MINGW_GCC_DIR ${libgcc} DIRECTORY)
set(cxx_headers ${MINGW_GCC_DIR}/include/c++)
set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${cxx_headers} -isystem ${cxx_headers}/${TOOLCHAIN_PREFIX} -isystem ${cxx_headers}/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -B${MINGW_GCC_DIR}/ -L${MINGW_GCC_DIR} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
