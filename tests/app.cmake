# The viewer as a desktop application (connect window, demo) under a private
# X server (label "display").
if(TARGET zviewer AND TARGET zcontroller-sim)
  add_test(NAME app_window_under_xvfb
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ZVIEWER_LINUX/app_window_test.sh
                   $<TARGET_FILE:zviewer> $<TARGET_FILE:zcontroller-sim>)
  set_tests_properties(app_window_under_xvfb PROPERTIES LABELS display TIMEOUT 180 SKIP_RETURN_CODE 77)
endif()
