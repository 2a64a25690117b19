# Window, GL context and input (SDL2), headless contexts (EGL), GL entry points
# (libOpenGL), screenshots (libpng) and the small save dialog (Dear ImGui).
find_package(PkgConfig REQUIRED)
pkg_check_modules(ZV_PLATFORM_LINUX REQUIRED IMPORTED_TARGET GLOBAL sdl2 egl opengl libpng imgui)
target_link_libraries(${name} PUBLIC PkgConfig::ZV_PLATFORM_LINUX)
# The system font server: Pango lays text out and Cairo draws it into 8-bit
# coverage bitmaps; fontconfig finds the faces.
pkg_check_modules(ZV_PLATFORM_LINUX_TEXT REQUIRED IMPORTED_TARGET GLOBAL pangocairo cairo fontconfig)
target_link_libraries(${name} PUBLIC PkgConfig::ZV_PLATFORM_LINUX_TEXT)
# System sleep and wake: logind's signal on the system bus through sd-bus.
pkg_check_modules(ZV_PLATFORM_LINUX_BUS REQUIRED IMPORTED_TARGET GLOBAL libsystemd)
target_link_libraries(${name} PUBLIC PkgConfig::ZV_PLATFORM_LINUX_BUS)
