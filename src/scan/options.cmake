# The Options dialog: the threshold rule in the core, the dialog itself (options_dialog.cpp, listed
# with the scan's sources) in the widget library.
target_sources(tallycore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/threshold_rule.cpp
)
