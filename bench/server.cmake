# The books moved between a file and a server of the benchmark's own.
add_executable(bench_move_books "${CMAKE_CURRENT_LIST_DIR}/bench_move_books.cpp")
target_link_libraries(bench_move_books PRIVATE halvo_bench_support halvo_server halvo_test_pg)
