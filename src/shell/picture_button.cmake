if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/picture_button.cpp
  )
endif()
