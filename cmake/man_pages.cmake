# Manual pages made at build time from the programs' own --help (help2man), with the sections
# that --help does not hold from data/man/<program>.h2m; gzipped as Debian ships manual pages and
# installed under share/man/man1.
find_program(TALLY_HELP2MAN help2man REQUIRED)
find_program(TALLY_GZIP gzip REQUIRED)
set(TALLY_MAN_DIR ${CMAKE_BINARY_DIR}/generated/shipped/man)

# tally_man_page(<executable target> NAME "<what it is, for the NAME line>")
function(tally_man_page target)
  cmake_parse_arguments(M "" "NAME" "" ${ARGN})
  set(page ${TALLY_MAN_DIR}/${target}.1)
  set(include ${PROJECT_SOURCE_DIR}/data/man/${target}.h2m)
  # The version is given: help2man then needs no --version of the program.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TALLY_MAN_DIR}
    # In the C locale: the page holds the English texts whatever language the builder reads.
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANGUAGE= ${TALLY_HELP2MAN} --no-info --no-discard-stderr
            --version-string=${PROJECT_VERSION} --name=${M_NAME} --include=${include}
            --output=${page} $<TARGET_FILE:${target}>
    COMMAND ${TALLY_GZIP} -9nf ${page}
    DEPENDS ${target} ${include} VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION share/man/man1)
endfunction()
