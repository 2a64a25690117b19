# The viewer in a real window under a private X server (label "display").
if(TARGET zviewer AND TARGET zcontroller-sim)
  add_test(NAME view_window_under_xvfb
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ZVIEWER_LINUX/view_window_test.sh
                   $<TARGET_FILE:zviewer> $<TARGET_FILE:zcontroller-sim>)
  set_tests_properties(view_window_under_xvfb PROPERTIES LABELS display TIMEOUT 120 SKIP_RETURN_CODE 77)
endif()
# Images and drawn surfaces in a real window under a private X server.
if(TARGET zviewer AND TARGET zcontroller-sim)
  add_test(NAME image_window_under_xvfb
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ZVIEWER_LINUX/image_window_test.sh
                   $<TARGET_FILE:zviewer> $<TARGET_FILE:zcontroller-sim>)
  set_tests_properties(image_window_under_xvfb PROPERTIES LABELS display TIMEOUT 120 SKIP_RETURN_CODE 77)
endif()
