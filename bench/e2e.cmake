# The sound proven on real back-ends: key-to-sound latency of the built-in
# synthesizer on a JACK server, and the program's start-up time under Xvfb.
add_executable(bench_latency ${CMAKE_CURRENT_LIST_DIR}/bench_latency.cpp)
target_link_libraries(bench_latency PRIVATE tonvale_devices tonvale_perform)
set_target_properties(bench_latency PROPERTIES AUTOMOC OFF)
