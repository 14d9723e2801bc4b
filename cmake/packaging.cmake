# `make package`: a Debian package of the installation (cpack -G DEB), installed under /usr. Its
# dependencies are read from the libraries the executable and the plugin link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallyscope)
set(CPACK_PACKAGE_VENDOR "${TALLY_COMPANY_NAME}")
set(CPACK_PACKAGE_CONTACT "${TALLY_COMPANY_NAME} <support@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Counts the pages that link to your web sites")
# Lines of at most 80 characters, as the package's description is read in a terminal.
set(CPACK_PACKAGE_DESCRIPTION
  "For each web site in a list, Tallyscope asks six sources (backlink APIs, the\nCommon Crawl web graph, web search engines) how many pages or domains link\nto it, shows the counts, totals and a profile per site, keeps a\ndated history and charts it. Scans also run without a window from the\ncommand line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TALLY_SITE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked: the platform plugins for a window, and the Public Suffix
# List that libpsl reads (libpsl5 only recommends it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, publicsuffix")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
