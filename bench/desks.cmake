# The daily work on the file or on a server, five desks at once included.
add_executable(bench_desks ${CMAKE_CURRENT_LIST_DIR}/bench_desks.cpp)
target_link_libraries(bench_desks PRIVATE benchsupport diary benchmark::benchmark)
