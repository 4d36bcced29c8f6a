add_executable(bench_editors "${CMAKE_CURRENT_LIST_DIR}/bench_editors.cpp")
target_link_libraries(bench_editors PRIVATE halvo_bench_support halvo_editors)
