# The build's layers. GL-free targets (mesh reading, images, the flame's
# arithmetic, the click sequence, the view module, the data set generator,
# the unit tests and fuzzers) must not link GL, GLU, GLUT or X11, directly or
# through anything they link. lighter_gl_free() records such a target;
# lighter_check_layers(), called once every target exists, stops the
# configure step if one of them does. The test layers.gl_free_libraries_call_no_gl
# checks the compiled code itself (tests/layers). Product folders (all but
# tools/ and tests/) include nothing under tools/ or tests/: checked at the
# configure step and by layers.product_code_includes_no_tool.

function(lighter_gl_free)
  set_property(GLOBAL APPEND PROPERTY LIGHTER_GL_FREE_TARGETS ${ARGN})
endfunction()

# Whether a link item pulls in GL, GLU, GLUT or X11.
function(_lighter_is_gl item out)
  if(item MATCHES "^(OpenGL|GLUT|X11)::" OR item MATCHES "(^|[/-]|-l)(GL|GLU|glut|X11)$"
     OR item MATCHES "lib(GL|GLU|glut|X11)\\.")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Walks the link libraries of `target`; `chain` names the path for the message.
function(_lighter_check_links target chain gl_free)
  get_target_property(links ${target} LINK_LIBRARIES)
  if(NOT links)
    return()
  endif()
  foreach(item IN LISTS links)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    _lighter_is_gl("${item}" is_gl)
    if(is_gl)
      message(FATAL_ERROR "Layers: ${chain} links ${item}, but ${target} must stay GL-free")
    endif()
    if(TARGET ${item})
      get_target_property(imported ${item} IMPORTED)
      if(NOT imported)
        if(NOT item IN_LIST gl_free)
          message(FATAL_ERROR
                  "Layers: ${chain} links ${item}, which is not GL-free (see cmake/Layers.cmake)")
        endif()
        _lighter_check_links(${item} "${chain} -> ${item}" "${gl_free}")
      endif()
    endif()
  endforeach()
endfunction()

function(lighter_check_layers)
  lighter_product_folders(folders)
  lighter_includes_of_tools(offences ${folders})
  if(offences)
    list(JOIN offences "\n  " text)
    message(FATAL_ERROR "Layers: product code includes tools/ or tests/:\n  ${text}")
  endif()
  get_property(gl_free GLOBAL PROPERTY LIGHTER_GL_FREE_TARGETS)
  foreach(target IN LISTS gl_free)
    if(TARGET ${target})
      _lighter_check_links(${target} ${target} "${gl_free}")
    endif()
  endforeach()
endfunction()

# Product code never includes tools/ or tests/: the files under `roots` (the
# product folders) that do are listed in `out`, each with its offending line.
function(lighter_includes_of_tools out)
  set(offences "")
  foreach(root IN LISTS ARGN)
    file(GLOB_RECURSE sources ${root}/*.h ${root}/*.cpp)
    foreach(source IN LISTS sources)
      file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"(tools|tests)/")
      foreach(line IN LISTS lines)
        list(APPEND offences "${source}: ${line}")
      endforeach()
    endforeach()
  endforeach()
  set(${out} "${offences}" PARENT_SCOPE)
endfunction()

# The product folders: every top-level folder but tools/, tests/ and the
# build trees.
function(lighter_product_folders out)
  file(GLOB entries LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/*)
  set(folders "")
  foreach(entry IN LISTS entries)
    get_filename_component(name ${entry} NAME)
    if(IS_DIRECTORY ${entry} AND NOT name MATCHES "^(tools|tests|build.*|\\..*)$"
       AND EXISTS ${entry}/CMakeLists.txt)
      list(APPEND folders ${entry})
    endif()
  endforeach()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()
