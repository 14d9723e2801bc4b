tally_add_test(tst_threshold_rule core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_threshold_rule.cpp)
tally_add_test(tst_options_dialog gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_options_dialog.cpp)
tally_add_test(tst_options_main_window gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_options_main_window.cpp)
