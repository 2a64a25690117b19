# The engine draws through OpenGL (stencil clips, clears, and later the shaders).
find_package(OpenGL REQUIRED)
target_link_libraries(rv_engine PUBLIC OpenGL::GL)
