# Help window, About and splash windows, skin: the parts that the stubs' sources.cmake does not
# list already.
target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/file_exists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/version_info.cpp
)
if(TARGET tallygui)
  target_sources(tallygui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/rtf_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/splash_window.cpp
  )
endif()
