# Tables out: the ledger of a million rows exported to CSV, beside the naive way.
add_executable(bench_export "${CMAKE_CURRENT_LIST_DIR}/bench_export.cpp")
target_link_libraries(bench_export PRIVATE halvo_bench_support halvo_csv)
