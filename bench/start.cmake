# The program started to its first window, the login, beside a bare Qt program that shows one
# dialog. The bare program is not named bench_*: scripts/bench runs those, and it would wait on.
add_executable(bare_dialog "${CMAKE_CURRENT_LIST_DIR}/bare_dialog.cpp")
target_include_directories(bare_dialog PRIVATE "${CMAKE_SOURCE_DIR}")
target_link_libraries(bare_dialog PRIVATE Qt6::Widgets)

add_executable(bench_start "${CMAKE_CURRENT_LIST_DIR}/bench_start.cpp")
target_link_libraries(bench_start PRIVATE halvo_bench_support halvo_shell)
add_dependencies(bench_start halvo bare_dialog)
