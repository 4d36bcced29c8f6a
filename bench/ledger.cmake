# The income window on a ledger of a million rows: opening and Save, beside the naive ways.
add_executable(bench_ledger "${CMAKE_CURRENT_LIST_DIR}/bench_ledger.cpp")
target_link_libraries(bench_ledger PRIVATE halvo_bench_support halvo_ledger)
