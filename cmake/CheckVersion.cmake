# Run by CTest: the CLI's --version and the man page's title line must name the project's
# version, so a release cannot ship with one of them left behind.
#   cmake -DCLI=<talvenix-cli> -DVERSION=<x.y.z> -DMAN_PAGE=<talvenix-cli.1> -P CheckVersion.cmake
foreach(var CLI VERSION MAN_PAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckVersion.cmake needs -D${var}=...")
  endif()
endforeach()

execute_process(COMMAND ${CLI} --version OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "talvenix-cli --version failed (${rc}): ${err}")
endif()
if(NOT out STREQUAL "talvenix-cli ${VERSION}")
  message(FATAL_ERROR "talvenix-cli --version says '${out}', the project is ${VERSION}")
endif()

file(STRINGS ${MAN_PAGE} title REGEX "^\\.TH ")
if(NOT title MATCHES "\"Talvenix ${VERSION}\"")
  message(FATAL_ERROR "${MAN_PAGE}: title line '${title}' does not name Talvenix ${VERSION}")
endif()
