# Shared books on a PostgreSQL server of the benchmark's own, on a local socket: the windows and
# the desktops of an office, and the books moved between a file and the server.
add_executable(bench_shared_books "${CMAKE_CURRENT_LIST_DIR}/bench_shared_books.cpp")
target_link_libraries(bench_shared_books PRIVATE halvo_bench_support halvo_ledger halvo_summary
                      halvo_test_pg)
add_executable(bench_move_books "${CMAKE_CURRENT_LIST_DIR}/bench_move_books.cpp")
target_link_libraries(bench_move_books PRIVATE halvo_bench_support halvo_server halvo_test_pg)
