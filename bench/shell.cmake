# The portfolio summary's tick on a large database, beside the literal walk of the ledger.
add_executable(bench_summary bench_summary.cpp)
target_link_libraries(bench_summary PRIVATE halvo_bench_support halvo_shell)
