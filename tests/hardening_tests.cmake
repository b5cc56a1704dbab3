# Floods and faults through the real window, and the second program they need.
add_executable(tarvok_port_holder port_holder.cpp)
target_link_libraries(tarvok_port_holder PRIVATE Qt6::Core Qt6::SerialPort)

tarvok_add_test(test_faults test_faults.cpp LIBS tarvok_ui)
target_compile_definitions(test_faults PRIVATE
  TARVOK_PORT_HOLDER="$<TARGET_FILE:tarvok_port_holder>")
add_dependencies(test_faults tarvok_port_holder)

tarvok_add_test(test_flood test_flood.cpp LIBS tarvok_ui)

# Sanitizer builds: every test in this folder (including those added after this
# file) runs with leak checking, stops at the first fault and prints its stack.
# Only the toolkit's own leaks are suppressed; see lsan.supp.
if(TARVOK_SANITIZE)
  function(tarvok_sanitizer_environment)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test IN LISTS tests)
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:print_stacktrace=1"
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
        "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp:print_suppressions=0")
    endforeach()
  endfunction()
  cmake_language(DEFER CALL tarvok_sanitizer_environment)
endif()
