if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/chart_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_dialog.cpp
  )
endif()
