# Saved searches, chart data, the save and load dialogs and the history chart.
tally_add_test(tst_saved_search core SOURCES ${CMAKE_CURRENT_LIST_DIR}/saved_search_test.cpp)
tally_add_test(tst_chart_data core SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_data_test.cpp)
tally_add_test(tst_history_dialogs gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/history_dialogs_test.cpp)
tally_add_test(tst_chart_frame gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_frame_test.cpp)
tally_add_test(tst_chart_3d display SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_3d_test.cpp)
tally_add_test(tst_history_form1 gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/history_form1_test.cpp)
