target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ini_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/user_settings.cpp
)
