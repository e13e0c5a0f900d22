# Run by CPack on its staging directory, before it makes the package: strips
# every ELF file as Debian's dh_strip strips a program, that is of its symbols
# and debugging information and of the .comment and .note sections, which
# only say which compiler built it.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")  # "\x7fELF"
    execute_process(COMMAND "${CPACK_LIGHTER_STRIP}" --remove-section=.comment
                            --remove-section=.note "${file}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
