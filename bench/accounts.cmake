# The fee statements: the refill of tmpac_info, the grouped read and the pages.
add_executable(bench_accounts ${CMAKE_CURRENT_LIST_DIR}/bench_accounts.cpp)
target_link_libraries(bench_accounts PRIVATE benchsupport accounts Qt6::Sql)
