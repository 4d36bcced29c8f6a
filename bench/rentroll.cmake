# The rent roll and the login reminders over a thousand tenants in a million-row ledger.
add_executable(bench_rentroll "${CMAKE_CURRENT_LIST_DIR}/bench_rentroll.cpp")
target_link_libraries(bench_rentroll PRIVATE halvo_bench_support halvo_rentroll)
