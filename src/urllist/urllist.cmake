target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/url_list_file.cpp
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/url_panel.cpp
  )
endif()
