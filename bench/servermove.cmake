# A diary file moved to a throwaway PostgreSQL cluster (the tests' own).
if(TARGET testsupport)
    add_executable(bench_servermove ${CMAKE_CURRENT_LIST_DIR}/bench_servermove.cpp)
    target_link_libraries(bench_servermove PRIVATE benchsupport testsupport benchmark::benchmark)
endif()
