# A verified backup of a 100 MB database beside a plain file copy of it.
add_executable(bench_backup "${CMAKE_CURRENT_LIST_DIR}/bench_backup.cpp")
target_link_libraries(bench_backup PRIVATE halvo_bench_support halvo_maintenance)
