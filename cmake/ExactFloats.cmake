# For code that rounds doubles to floats and must keep every rounding: the
# mesh files hold floats, and the framing predicts the program's picture
# from exactly the floats it writes. GCC 12's basic-block vectorizer drops a
# double -> float -> double round trip done on two coordinates at once (an
# inlined `{float(v.x), float(v.y), float(v.z)}` comes out with x and y
# unrounded); without that pass the rounding is kept.
function(lighter_exact_floats target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fno-tree-slp-vectorize)
  endif()
endfunction()
