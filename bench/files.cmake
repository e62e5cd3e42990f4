# Save, load and export of a large recording, and a long render.
add_executable(bench_files ${CMAKE_CURRENT_LIST_DIR}/bench_files.cpp)
target_link_libraries(bench_files PRIVATE tonvale_files tonvale_tool_lib)
set_target_properties(bench_files PROPERTIES AUTOMOC OFF)
# The journal of a take while it is played: bytes per minute, ~20 s of real time.
add_executable(bench_journal ${CMAKE_CURRENT_LIST_DIR}/bench_journal.cpp)
target_link_libraries(bench_journal PRIVATE tonvale_files)
set_target_properties(bench_journal PROPERTIES AUTOMOC OFF)
