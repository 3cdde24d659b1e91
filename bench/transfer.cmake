# The diary to CSV and back, and a month of hearings to iCalendar.
add_executable(bench_transfer ${CMAKE_CURRENT_LIST_DIR}/bench_transfer.cpp)
target_link_libraries(bench_transfer PRIVATE benchsupport benchmark::benchmark)
