# Printing the chart.
tally_add_test(tst_print_chart gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_chart_test.cpp)
