# The viewer in real windows, each test under a private X server (label
# "display"): the viewer window; images and drawn surfaces; the application
# with its connect window and the demo.
if(TARGET zviewer AND TARGET zcontroller-sim)
  foreach(name view image app)
    add_test(NAME ${name}_window_under_xvfb
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ZVIEWER_LINUX/${name}_window_test.sh
                     $<TARGET_FILE:zviewer> $<TARGET_FILE:zcontroller-sim>)
    set_tests_properties(${name}_window_under_xvfb PROPERTIES LABELS display TIMEOUT 120 SKIP_RETURN_CODE 77)
  endforeach()
  # Two programs, two sessions and a discovery search in one run.
  set_tests_properties(app_window_under_xvfb PROPERTIES TIMEOUT 180)
endif()
