# The simulated module: engine tests, plus a few runs of the real tarvok-sim.
tarvok_add_test(test_sim_engine test_sim_engine.cpp LIBS tarvok_sim_engine tarvok_protocol)
target_compile_definitions(test_sim_engine PRIVATE TARVOK_SIM_PATH="$<TARGET_FILE:tarvok-sim>")
add_dependencies(test_sim_engine tarvok-sim)
