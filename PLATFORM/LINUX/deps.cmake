# Window, GL context and input (SDL2), headless contexts (EGL), GL entry points
# (libOpenGL), screenshots (libpng) and the small save dialog (Dear ImGui).
find_package(PkgConfig REQUIRED)
pkg_check_modules(ZV_PLATFORM_LINUX REQUIRED IMPORTED_TARGET GLOBAL sdl2 egl opengl libpng imgui)
target_link_libraries(${name} PUBLIC PkgConfig::ZV_PLATFORM_LINUX)
