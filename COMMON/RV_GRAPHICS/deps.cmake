# The default font server is the platform's own (CreateSysFontServer, defined
# in platform_linux), and that server is built on this library's text layout
# and coverage bitmaps: the two libraries refer to each other. Linking only, no
# usage requirements, so the portable sources never see the platform's
# headers. CMake repeats the group on the link line; three rounds cover a
# program whose first use of either comes through the main window.
target_link_libraries(${name} INTERFACE "$<LINK_ONLY:platform_linux>")
set_property(TARGET ${name} PROPERTY LINK_INTERFACE_MULTIPLICITY 3)
