# Reading and laying out a long song.
add_executable(bench_song_reading ${CMAKE_CURRENT_LIST_DIR}/bench_song_reading.cpp)
target_link_libraries(bench_song_reading PRIVATE tonvale_practice benchmark::benchmark)
set_target_properties(bench_song_reading PROPERTIES AUTOMOC OFF)
