# The sound proven on real back-ends: key-to-sound latency of the built-in
# synthesizer on a JACK server, the program's start-up time under Xvfb, and
# what each soundfont costs.
# Both start servers with the process helpers of the end-to-end test.
set(_test_rig ${PROJECT_SOURCE_DIR}/tests/support)
add_executable(bench_latency ${CMAKE_CURRENT_LIST_DIR}/bench_latency.cpp
                             ${_test_rig}/child_process.cpp)
target_include_directories(bench_latency PRIVATE ${_test_rig})
target_link_libraries(bench_latency PRIVATE tonvale_devices tonvale_perform)
set_target_properties(bench_latency PROPERTIES AUTOMOC OFF)

if(TARGET tonvale)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp
                               ${_test_rig}/child_process.cpp ${_test_rig}/servers.cpp)
  target_include_directories(bench_startup PRIVATE ${_test_rig})
  target_link_libraries(bench_startup PRIVATE PkgConfig::XCB)
  target_compile_definitions(bench_startup PRIVATE TONVALE_PROGRAM="$<TARGET_FILE:tonvale>")
  set_target_properties(bench_startup PROPERTIES AUTOMOC OFF)
  add_dependencies(bench_startup tonvale)

  # Each installed soundfont: start-up, first note, program changes, memory.
  pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
  add_executable(bench_soundfonts ${CMAKE_CURRENT_LIST_DIR}/bench_soundfonts.cpp
                                  ${_test_rig}/child_process.cpp ${_test_rig}/servers.cpp)
  target_include_directories(bench_soundfonts PRIVATE ${_test_rig})
  target_link_libraries(bench_soundfonts PRIVATE tonvale_shell tonvale_devices tonvale_resources
                                                 PkgConfig::PULSE_SIMPLE)
  target_compile_definitions(bench_soundfonts PRIVATE TONVALE_PROGRAM="$<TARGET_FILE:tonvale>")
  set_target_properties(bench_soundfonts PROPERTIES AUTOMOC OFF)
  add_dependencies(bench_soundfonts tonvale)
endif()

# Dropouts of the built-in synthesizer on private PipeWire and PulseAudio
# servers, for choosing the buffering of each.
add_executable(bench_dropouts ${CMAKE_CURRENT_LIST_DIR}/bench_dropouts.cpp
                              ${_test_rig}/child_process.cpp ${_test_rig}/servers.cpp
                              ${PROJECT_SOURCE_DIR}/tests/integration/e2e/sound_analysis.cpp)
target_include_directories(bench_dropouts PRIVATE ${_test_rig}
                                                  ${PROJECT_SOURCE_DIR}/tests/integration/e2e)
target_link_libraries(bench_dropouts PRIVATE tonvale_devices tonvale_perform)
set_target_properties(bench_dropouts PROPERTIES AUTOMOC OFF)
