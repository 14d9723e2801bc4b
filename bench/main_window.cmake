# The results table's typed sort at 10,000 and 100,000 rows, and the longest event-loop stall
# while the main window runs a 1,000-URL scan against a local server.
tally_add_bench(results_sort ${CMAKE_CURRENT_LIST_DIR}/results_sort.cpp)
tally_add_bench(window_scan_stall ${CMAKE_CURRENT_LIST_DIR}/window_scan_stall.cpp)
target_link_libraries(window_scan_stall PRIVATE tallytestsupport)
