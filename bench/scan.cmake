# A whole scan against a local server, compared with curl fetching the same addresses.
tally_add_bench(scan_throughput ${CMAKE_CURRENT_LIST_DIR}/scan_throughput.cpp)
target_link_libraries(scan_throughput PRIVATE tallytestsupport)
