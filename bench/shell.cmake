# The portfolio summary on a large database: a Save followed, an idle tick and a full reading,
# each beside the way it was done before.
add_executable(bench_summary bench_summary.cpp)
target_link_libraries(bench_summary PRIVATE halvo_bench_support halvo_shell)

# The program at rest with every Data window open, beside the same windows kept by polling.
add_executable(bench_idle bench_idle.cpp)
target_link_libraries(bench_idle PRIVATE halvo_bench_support halvo_shell)

# The login to a file locked with the password, and the locking.
add_executable(bench_lock bench_lock.cpp)
target_link_libraries(bench_lock PRIVATE halvo_bench_support halvo_shell)
