tally_add_test(tst_local_http_server core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_local_http_server.cpp)
tally_add_test(tst_engine_parser core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_engine_parser.cpp)
tally_add_test(tst_page_fetcher core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_page_fetcher.cpp)
tally_add_test(tst_scan_run core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_scan_run.cpp)
