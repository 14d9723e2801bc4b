target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sort_keys.cpp
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/results_table.cpp
  )
endif()
