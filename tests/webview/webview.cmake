tally_add_test(tst_web_results core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_web_results.cpp)
tally_add_test(tst_website_frame display SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_website_frame.cpp)
tally_add_test(tst_browser_window display SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_browser_window.cpp)
tally_add_test(tst_browser_shutdown display SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_browser_shutdown.cpp)
