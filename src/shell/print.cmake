# Printing the chart (modPrint).
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/print.cpp
  )
endif()
