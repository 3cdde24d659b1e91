# The case register opened on a large database, and its searches.
add_executable(bench_caseregister ${CMAKE_CURRENT_LIST_DIR}/bench_caseregister.cpp)
target_link_libraries(bench_caseregister PRIVATE benchsupport diary benchmark::benchmark)
