tally_add_test(tst_threshold_rule core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_threshold_rule.cpp)
