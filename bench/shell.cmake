# The portfolio summary's tick on a large database, beside the literal walk of the ledger.
add_executable(bench_summary bench_summary.cpp)
target_link_libraries(bench_summary PRIVATE halvo_bench_support halvo_shell)

# The program at rest with every Data window open, beside the same windows kept by polling.
add_executable(bench_idle bench_idle.cpp)
target_link_libraries(bench_idle PRIVATE halvo_bench_support halvo_shell)
