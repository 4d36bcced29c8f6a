# 10,000 statement lines planned and written into a ledger of a million rows.
add_executable(bench_import "${CMAKE_CURRENT_LIST_DIR}/bench_import.cpp")
target_link_libraries(bench_import PRIVATE halvo_bench_support halvo_statements)
