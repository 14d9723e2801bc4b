# Chart drawing per type and appending one day to a ten-year saved search.
tally_add_bench(chart_draw chart_draw.cpp)
