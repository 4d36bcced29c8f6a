# A tax year of a million-row ledger added up as the Schedule E worksheet, and shown in its preview.
add_executable(bench_tax "${CMAKE_CURRENT_LIST_DIR}/bench_tax.cpp")
target_link_libraries(bench_tax PRIVATE halvo_bench_support halvo_tax halvo_reports)
