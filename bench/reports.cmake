# The diary reports from the menu action to a written PDF.
add_executable(bench_reports ${CMAKE_CURRENT_LIST_DIR}/bench_reports.cpp)
target_link_libraries(bench_reports PRIVATE benchsupport reports Qt6::Sql)
