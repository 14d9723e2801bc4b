target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/engine_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_fetcher.h
  ${CMAKE_CURRENT_LIST_DIR}/scan_run.h
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/options_dialog.cpp
  )
endif()
