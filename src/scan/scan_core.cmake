# Scan core: count extraction, query encoding, page fetching and the scan run.
target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/engine_parser.h
  ${CMAKE_CURRENT_LIST_DIR}/engine_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/url_encode.h
  ${CMAKE_CURRENT_LIST_DIR}/url_encode.cpp
)
target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/network_page_fetcher.h
  ${CMAKE_CURRENT_LIST_DIR}/network_page_fetcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scan_run.cpp
)
