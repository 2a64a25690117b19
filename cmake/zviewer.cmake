# Helpers that keep the per-directory CMake files short: sources are found by
# globbing, so adding a file to a subsystem never needs a build-file edit.

set(ZV_LIBRARIES "" CACHE INTERNAL "engine libraries, lowest first")

# zv_add_library(name dir...) builds every .cpp/.c in the given directories into
# a static library that links all libraries declared before it.
function(zv_add_library name)
  set(sources "")
  set(includes "")
  foreach(dir ${ARGN})
    list(APPEND includes ${CMAKE_SOURCE_DIR}/${dir})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  set(below ${ZV_LIBRARIES})
  if(sources)
    add_library(${name} STATIC ${sources})
  else()
    add_library(${name} INTERFACE)
  endif()
  get_target_property(kind ${name} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${name} INTERFACE ${includes})
    target_link_libraries(${name} INTERFACE ${below} Threads::Threads)
  else()
    target_include_directories(${name} PUBLIC ${includes})
    target_link_libraries(${name} PUBLIC ${below} Threads::Threads)
  endif()
  # Per-library extra dependencies live beside the sources, e.g. pkg-config lookups.
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/deps.cmake)
      include(${CMAKE_SOURCE_DIR}/${dir}/deps.cmake)
    endif()
  endforeach()
  list(APPEND below ${name})
  set(ZV_LIBRARIES ${below} CACHE INTERNAL "engine libraries, lowest first")
endfunction()

# Every engine library, for programs that may touch any of them.
function(zv_link_all target)
  target_link_libraries(${target} PRIVATE ${ZV_LIBRARIES})
endfunction()

# The same for a library (interface or static) whose users need them too.
function(zv_link_all_to target)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${target} INTERFACE ${ZV_LIBRARIES})
  else()
    target_link_libraries(${target} PUBLIC ${ZV_LIBRARIES})
  endif()
endfunction()
