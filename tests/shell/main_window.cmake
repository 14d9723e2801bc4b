tally_add_test(tst_main_window gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_window.cpp)
tally_add_test(tst_main_window_scan gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_window_scan.cpp)
