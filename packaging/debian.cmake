# The Debian package: what it holds beyond the programs, and how CPack
# describes it. `cmake --workflow --preset package` makes
# ravelle_<version>_<arch>.deb in build/package.

set(doc_folder ${CMAKE_INSTALL_DATADIR}/doc/ravelle)

# The changelog's newest entry must be this version, or the package would
# contradict itself.
file(STRINGS changelog newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^ravelle \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with \"${newest_entry}\"; "
                      "its newest entry must be version ${PROJECT_VERSION}")
endif()
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/changelog > ${changelog}
  DEPENDS changelog
  COMMENT "Compressing the changelog")
add_custom_target(ravelle_changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${doc_folder})
install(FILES copyright DESTINATION ${doc_folder})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravelle)
set(CPACK_PACKAGE_VENDOR "The Ravelle developers")
set(CPACK_PACKAGE_CONTACT "The Ravelle developers <support@ravelle.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scoreboard for Alpha-protocol LED message signs")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Ravelle turns an Alpha-protocol LED message sign (a BetaBrite Classic on\n"
  "a serial line, a BetaBrite Prism on USB) into a two-team scoreboard. The\n"
  "operator types both teams' abbreviations and presses score buttons; every\n"
  "change reaches the sign at once, in colours of the operator's choice, and\n"
  "goes into a scoring history. Between plays a free-text note can take the\n"
  "sign's place.\n"
  "\n"
  "The package also holds ravelle-cli, which drives the sign from scripts,\n"
  "and ravelle-signsim, a virtual sign for rehearsals without one.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${RAVELLE_HOME_PAGE})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The form falls back to Liberation Sans for its dialog font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
