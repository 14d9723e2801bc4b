target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/web_results.cpp
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/lazy_web_view.cpp
  )
endif()
