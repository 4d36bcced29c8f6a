# Every window of the window table opened in the main window over one large database, each beside
# its record sets read whole.
add_executable(bench_windows "${CMAKE_CURRENT_LIST_DIR}/bench_windows.cpp")
target_link_libraries(bench_windows PRIVATE halvo_bench_support halvo_shell)
