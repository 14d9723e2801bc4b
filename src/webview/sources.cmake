if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/website_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/browser_window.cpp
  )
endif()
