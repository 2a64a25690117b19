# The default font server is the platform's own (CreateSysFontServer, defined
# in platform_linux), and that server is built on this library's text layout
# and coverage bitmaps: the two libraries refer to each other. Linking only, no
# usage requirements, so the portable sources never see the platform's
# headers. CMake repeats the group on the link line; three rounds cover a
# program whose first use of either comes through the main window.
target_link_libraries(${name} INTERFACE "$<LINK_ONLY:platform_linux>")
set_property(TARGET ${name} PROPERTY LINK_INTERFACE_MULTIPLICITY 3)
# PNG images from the controller (graphic store, image surfaces) are decoded
# from memory with libpng.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ZV_RV_GRAPHICS_PNG REQUIRED IMPORTED_TARGET GLOBAL libpng)
target_link_libraries(${name} PUBLIC PkgConfig::ZV_RV_GRAPHICS_PNG)
