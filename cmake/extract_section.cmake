# cmake -DIN=<markdown file> -DSECTION=<heading text> -DTITLE=<new title> -DOUT=<file> -P this
# Writes one "## " section of a Markdown file (up to the next "## " heading) as a file of its own,
# under TITLE: a document installed apart keeps the README as its one source.
file(READ ${IN} text)
string(FIND "${text}" "\n## ${SECTION}\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${IN} has no section \"${SECTION}\"")
endif()
math(EXPR start "${start} + 1")
string(SUBSTRING "${text}" ${start} -1 rest)
string(LENGTH "## ${SECTION}\n" heading)
string(SUBSTRING "${rest}" ${heading} -1 body)
string(FIND "${body}" "\n## " end)
if(NOT end EQUAL -1)
  string(SUBSTRING "${body}" 0 ${end} body)
endif()
file(WRITE ${OUT} "# ${TITLE}\n${body}\n")
