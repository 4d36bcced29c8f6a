# The report engine on a year of the ledger: the preview ready and the PDF, beside the naive ways.
add_executable(bench_reports "${CMAKE_CURRENT_LIST_DIR}/bench_reports.cpp")
target_link_libraries(bench_reports PRIVATE halvo_bench_support halvo_reports)
