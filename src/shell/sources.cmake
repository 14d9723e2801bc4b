target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/app_state.cpp
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/prompts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/about_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin.cpp
  )
endif()
