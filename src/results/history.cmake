# Saved searches, chart data, the save and load dialogs and the history chart.
target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/saved_search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_data.cpp
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/load_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/history_chart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/history_chart_3d.cpp
  )
endif()
