# Playback timing against the real clock: a plain program, ~50 s of real time.
add_executable(bench_playback ${CMAKE_CURRENT_LIST_DIR}/bench_playback.cpp)
target_link_libraries(bench_playback PRIVATE tonvale_record)
set_target_properties(bench_playback PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench
                                                AUTOMOC OFF)
