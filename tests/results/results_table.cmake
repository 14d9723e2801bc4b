tally_add_test(tst_sort_keys core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sort_keys.cpp)
tally_add_test(tst_results_table gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_results_table.cpp)
