# The command-line test runs the built zcontroller-sim program.
if(TARGET test_controller_sim AND TARGET zcontroller-sim)
  add_dependencies(test_controller_sim zcontroller-sim)
endif()
