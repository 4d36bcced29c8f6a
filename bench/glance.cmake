# The year at a glance on a million-row ledger: the window opened for the portfolio and for one
# property, beside the months and years grouped over every row.
add_executable(bench_glance "${CMAKE_CURRENT_LIST_DIR}/bench_glance.cpp")
target_link_libraries(bench_glance PRIVATE halvo_bench_support halvo_glance)
