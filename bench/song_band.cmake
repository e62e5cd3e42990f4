# One repaint of the song band at scale 2, offscreen.
if(TARGET tonvale_shell)
  add_executable(bench_song_band ${CMAKE_CURRENT_LIST_DIR}/bench_song_band.cpp)
  target_link_libraries(bench_song_band PRIVATE tonvale_shell benchmark::benchmark)
  set_target_properties(bench_song_band PROPERTIES AUTOMOC OFF)
endif()
