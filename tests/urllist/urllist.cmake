tally_add_test(tst_url_list_file core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_url_list_file.cpp)
tally_add_test(tst_url_panel gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_url_panel.cpp)
