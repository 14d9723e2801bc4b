# Help window, RTF reader, About and splash windows, skin.
tally_add_test(tst_help_file_exists core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_help_file_exists.cpp)
tally_add_test(tst_about_version core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_about_version.cpp)
tally_add_test(tst_rtf_reader gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rtf_reader.cpp)
tally_add_test(tst_help_window gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_help_window.cpp)
tally_add_test(tst_about_window gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_about_window.cpp)
tally_add_test(tst_splash_window gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_splash_window.cpp)
tally_add_test(tst_skin gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_skin.cpp)
