# cmake -DTOOL=clang-format|shellcheck -DROOT=DIR [-DSKIP=REGEX] -P check_style.cmake PATH...
# Fails, naming each file and the tool's findings, when a file is off the
# repository's style: C++ (*.cpp, *.h) not as `clang-format` lays it out
# with the repository's .clang-format, or a shell script (*.sh, *.sh.in, or
# a file named as such) with a `shellcheck` finding. A PATH that is a folder
# stands for the files of that kind below it; paths under ROOT matching SKIP
# are left out.
include(${CMAKE_CURRENT_LIST_DIR}/script_arguments.cmake)
lighter_script_arguments(paths)
if(NOT paths)
  message(FATAL_ERROR "nothing to check")
endif()
if(TOOL STREQUAL "clang-format")
  set(patterns *.cpp *.h)
  set(command --dry-run -Werror --style=file)
elseif(TOOL STREQUAL "shellcheck")
  set(patterns *.sh *.sh.in)
  set(command --format=gcc)
else()
  message(FATAL_ERROR "TOOL is clang-format or shellcheck, not '${TOOL}'")
endif()
find_program(program ${TOOL})
if(NOT program)
  message(FATAL_ERROR "${TOOL} is not installed (tools/setup.sh installs it)")
endif()

set(files "")
foreach(path IN LISTS paths)
  if(IS_DIRECTORY ${path})
    list(TRANSFORM patterns PREPEND ${path}/ OUTPUT_VARIABLE globs)
    file(GLOB_RECURSE found ${globs})
    list(APPEND files ${found})
  else()
    list(APPEND files ${path})
  endif()
endforeach()
set(checked "")
foreach(file IN LISTS files)
  file(RELATIVE_PATH relative ${ROOT} ${file})
  if(NOT (SKIP AND relative MATCHES "${SKIP}"))
    list(APPEND checked ${relative})
  endif()
endforeach()
list(SORT checked)
list(LENGTH checked count)
if(count EQUAL 0)
  message(FATAL_ERROR "no file to check in ${paths}")
endif()

execute_process(COMMAND ${program} ${command} ${checked} WORKING_DIRECTORY ${ROOT}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} finds files off the style (from ${ROOT}):\n${out}${err}"
                      "Fix them (for C++: clang-format -i FILE).")
endif()
message(STATUS "${count} files pass ${TOOL}")
