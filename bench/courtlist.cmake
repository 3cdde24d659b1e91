# The court's list checked against the diary, beside pdftotext (bench/run.sh).
add_executable(bench_courtlist ${CMAKE_CURRENT_LIST_DIR}/bench_courtlist.cpp)
target_link_libraries(bench_courtlist PRIVATE benchsupport courtlist benchmark::benchmark)
