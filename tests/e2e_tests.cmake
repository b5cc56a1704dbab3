# The window against the real simulator process over its pty.
tarvok_add_test(test_end_to_end test_end_to_end.cpp support/sim_process.cpp support/sim_process.h
  LIBS tarvok_ui)
target_compile_definitions(test_end_to_end PRIVATE TARVOK_SIM_PATH="$<TARGET_FILE:tarvok-sim>")
add_dependencies(test_end_to_end tarvok-sim)
