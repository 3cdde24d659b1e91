# Today's reminders from a long-kept table, the reminder window, and the login's check.
add_executable(bench_reminders ${CMAKE_CURRENT_LIST_DIR}/bench_reminders.cpp)
target_link_libraries(bench_reminders PRIVATE benchsupport reminders passwords Qt6::Sql)
