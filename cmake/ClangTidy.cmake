# clang-tidy over every source of the program, as part of the build: a finding
# fails it. One stamp per source, made again when the source, .clang-tidy or
# the target it belongs to changes (a target is rebuilt whenever one of its
# sources or the headers they include changes).
#
# clang-tidy reads this build's compile commands, which are GCC's. clang is
# told the target, MinGW-w64's folder and the C++ library headers GCC itself
# searches first, so that it parses the code as GCC does; for the compiler's
# own headers (intrinsics, stddef.h) it keeps its own.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  message(FATAL_ERROR "FARROWGATE_TIDY needs the GCC build: clang-tidy reads GCC's compile commands")
endif()
find_program(CLANG_TIDY clang-tidy REQUIRED)

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -E -x c++ -v -
  INPUT_FILE /dev/null OUTPUT_QUIET ERROR_VARIABLE gcc_report COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "search starts here:\n(.*)\nEnd of search list" _ "${gcc_report}")
string(REPLACE "\n" ";" gcc_include_dirs "${CMAKE_MATCH_1}")
set(tidy_arguments
  --quiet --warnings-as-errors=* -p=${CMAKE_BINARY_DIR}
  "--header-filter=^${PROJECT_SOURCE_DIR}/(app|base|catalogue|cli|draw|elements|framework|listctrl|res)/"
  --extra-arg=--target=${TOOLCHAIN_PREFIX} --extra-arg=--sysroot=${CMAKE_FIND_ROOT_PATH})
foreach(dir IN LISTS gcc_include_dirs)
  string(STRIP "${dir}" dir)
  if(dir MATCHES "/c\\+\\+(/|$)")
    list(APPEND tidy_arguments --extra-arg=-isystem${dir})
  endif()
endforeach()

# farrowgate_tidy(target...): analyses the C++ sources of these targets.
function(farrowgate_tidy)
  foreach(target IN LISTS ARGN)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    set(stamp_dir ${CMAKE_BINARY_DIR}/tidy/${target})
    foreach(source IN LISTS sources)
      if(NOT source MATCHES "\\.cpp$")
        continue()
      endif()
      set(stamp ${stamp_dir}/${source}.stamp)
      add_custom_command(OUTPUT ${stamp}
        COMMAND ${CLANG_TIDY} ${tidy_arguments} ${source_dir}/${source}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stamp_dir}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${source_dir}/${source} ${PROJECT_SOURCE_DIR}/.clang-tidy ${target}
        COMMENT "clang-tidy ${target}: ${source}"
        VERBATIM)
      list(APPEND stamps ${stamp})
    endforeach()
  endforeach()
  add_custom_target(tidy ALL DEPENDS ${stamps})
endfunction()
