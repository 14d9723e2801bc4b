tally_add_test(tst_ini_file core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ini_file.cpp)
tally_add_test(tst_user_settings core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_user_settings.cpp)
