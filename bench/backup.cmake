# The backup of a large diary: a checked snapshot, and the check of a backup alone.
add_executable(bench_backup ${CMAKE_CURRENT_LIST_DIR}/bench_backup.cpp)
target_link_libraries(bench_backup PRIVATE benchsupport benchmark::benchmark)
