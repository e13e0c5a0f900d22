# GL, GLU and GLUT in the web build: Emscripten provides them, emulating the
# fixed-function pipeline over WebGL. The targets keep the names the desktop
# build's find_package() gives, so every library links them unchanged (and
# cmake/Layers.cmake still knows them as GL).
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_options(OpenGL::GL INTERFACE -sLEGACY_GL_EMULATION=1)
add_library(OpenGL::GLU INTERFACE IMPORTED)
add_library(GLUT::GLUT INTERFACE IMPORTED)
target_link_options(GLUT::GLUT INTERFACE -lglut)

# The one libstdc++ extension the program uses, for Emscripten's libc++.
include_directories(BEFORE SYSTEM ${CMAKE_CURRENT_LIST_DIR}/compat)
