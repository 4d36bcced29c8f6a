# A ledger with 1 GB of attachments beside the same ledger without them: the login, the summary
# and the income window; a 25 MB PDF attached, its first page shown, and the memory that takes.
add_executable(bench_attachments "${CMAKE_CURRENT_LIST_DIR}/bench_attachments.cpp")
target_link_libraries(bench_attachments PRIVATE halvo_bench_support halvo_shell halvo_ledger
    halvo_attachment_windows)
