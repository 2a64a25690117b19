# The default font server is the platform's own (CreateSysFontServer, defined
# in platform_linux), so this library refers to that one as well as the other
# way round. Linking only, no usage requirements: the portable sources never
# see the platform's headers. CMake repeats the pair on the link line.
target_link_libraries(${name} INTERFACE "$<LINK_ONLY:platform_linux>")
