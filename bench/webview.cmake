# Start-up to a shown main window, and the memory the web engine adds once the Website View opens
# a page, with the web view created when first needed and, for comparison, at start-up.
tally_add_bench(webview_startup ${CMAKE_CURRENT_LIST_DIR}/webview_startup.cpp)
target_link_libraries(webview_startup PRIVATE tallytestsupport)
