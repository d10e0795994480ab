# Writes the release into OUTPUT_DIR: farrowgate-VERSION-win32.zip, holding
# farrowgate.exe, farrowgate-cli.exe, README.txt and LICENSE, and SHA256SUMS
# beside it. The texts get Windows line ends, and README.txt a UTF-8 byte
# order mark, so that any Notepad shows them right.
#   cmake -DPROGRAM=exe -DCLI_PROGRAM=exe -DREADME=txt -DLICENSE=file -DVERSION=x.y.z -DOUTPUT_DIR=dir
#     -P PackageRelease.cmake
foreach(variable PROGRAM CLI_PROGRAM README LICENSE VERSION OUTPUT_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "PackageRelease.cmake needs -D${variable}=...")
  endif()
endforeach()

set(name farrowgate-${VERSION}-win32)
set(staging ${OUTPUT_DIR}/${name})
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging})

file(COPY ${PROGRAM} ${CLI_PROGRAM} DESTINATION ${staging})
function(write_windows_text source destination prefix)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${prefix}${text}")
endfunction()
string(ASCII 239 187 191 utf8_bom)
write_windows_text(${README} ${staging}/README.txt "${utf8_bom}")
write_windows_text(${LICENSE} ${staging}/LICENSE "")

file(REMOVE ${OUTPUT_DIR}/${name}.zip)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT_DIR}/${name}.zip --format=zip
    farrowgate.exe farrowgate-cli.exe README.txt LICENSE
  WORKING_DIRECTORY ${staging}
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${staging})

file(SHA256 ${OUTPUT_DIR}/${name}.zip hash)
file(WRITE ${OUTPUT_DIR}/SHA256SUMS "${hash}  ${name}.zip\n")
file(SIZE ${OUTPUT_DIR}/${name}.zip bytes)
message(STATUS "Release: ${OUTPUT_DIR}/${name}.zip (${bytes} bytes) and SHA256SUMS")
