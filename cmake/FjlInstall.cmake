# What `cmake --install` puts where (GNUInstallDirs): the three programs,
# their manual pages, the menu entry with its icon and AppStream metadata,
# and the documentation. The packaging sources live in packaging/.
# The layout is the Linux desktop's; other targets install nothing from here.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

include(GNUInstallDirs)
# Named after the package, not the CMake project (CMAKE_INSTALL_DOCDIR).
set(FJL_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/fjl-restore)

set(FJL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(FJL_GENERATED_DOCS ${PROJECT_BINARY_DIR}/packaging)
set(FJL_HOMEPAGE_URL "" CACHE STRING
    "Where the project is published (empty: not yet); the AppStream screenshot is expected under it")

# The release date comes from the newest entry of packaging/changelog, which
# has to name the version project() declares: a release moves both together.
file(STRINGS ${FJL_PACKAGING_DIR}/changelog FJL_CHANGELOG_LINES)
list(GET FJL_CHANGELOG_LINES 0 FJL_CHANGELOG_HEAD)
if(NOT FJL_CHANGELOG_HEAD MATCHES "^fjl-restore \\(([^)]+)\\)" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog starts with '${FJL_CHANGELOG_HEAD}', "
                      "not with version ${PROJECT_VERSION} of project(); add an entry for it")
endif()
set(FJL_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
foreach(line IN LISTS FJL_CHANGELOG_LINES)
  if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(day ${CMAKE_MATCH_1})
    set(year ${CMAKE_MATCH_3})
    list(FIND FJL_MONTHS ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1")
    if(month LESS 10)
      set(month "0${month}")
    endif()
    set(FJL_RELEASE_DATE "${year}-${month}-${day}")
    break()
  endif()
endforeach()
if(NOT FJL_RELEASE_DATE OR FJL_RELEASE_DATE MATCHES "-00-")
  message(FATAL_ERROR "packaging/changelog: no date in its newest entry's ' -- name <mail>  date' line")
endif()

# The step 1 window's client area, the size of the screenshot.
set(FJL_SCREENSHOT_WIDTH 784)
set(FJL_SCREENSHOT_HEIGHT 432)
# AppStream takes a screenshot by its web address only: without a published
# home page the metadata names neither, rather than a placeholder that
# software centres (and appstreamcli validate) fail to fetch.
set(FJL_METAINFO_WEB "")
if(FJL_HOMEPAGE_URL)
  string(CONCAT FJL_METAINFO_WEB
    "  <url type=\"homepage\">${FJL_HOMEPAGE_URL}</url>\n"
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>Step 1: connecting to the printer and reading the control tape</caption>\n"
    "      <image type=\"source\" width=\"${FJL_SCREENSHOT_WIDTH}\" height=\"${FJL_SCREENSHOT_HEIGHT}\">"
    "${FJL_HOMEPAGE_URL}/screenshots/step1.png</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(${FJL_PACKAGING_DIR}/fjl-restore.metainfo.xml.in
               ${FJL_GENERATED_DOCS}/fjl-restore.metainfo.xml @ONLY)

# Manual pages and the changelog are installed compressed, as Debian wants
# them; -n leaves the time stamp out, so a rebuild gives the same bytes.
# Every page is written in English (packaging/man/) and in Russian
# (packaging/man/ru/), the language of the engineers who use the programs;
# man picks the Russian one under a ru locale.
set(FJL_MAN_PAGES fjl-restore-cli fjl-printer-sim)
if(TARGET fjl-restore)
  list(APPEND FJL_MAN_PAGES fjl-restore)
endif()
set(FJL_MAN_LANGUAGES "" ru)
set(FJL_COMPRESSED_DOCS)
foreach(language IN LISTS FJL_MAN_LANGUAGES)
  foreach(page IN LISTS FJL_MAN_PAGES)
    set(page_path ${page}.1)
    if(language)
      set(page_path ${language}/${page}.1)
    endif()
    configure_file(${FJL_PACKAGING_DIR}/man/${page_path}.in ${FJL_GENERATED_DOCS}/man/${page_path} @ONLY)
    list(APPEND FJL_COMPRESSED_DOCS ${FJL_GENERATED_DOCS}/man/${page_path}.gz)
  endforeach()
endforeach()
configure_file(${FJL_PACKAGING_DIR}/changelog ${FJL_GENERATED_DOCS}/changelog COPYONLY)
list(APPEND FJL_COMPRESSED_DOCS ${FJL_GENERATED_DOCS}/changelog.gz)
foreach(compressed IN LISTS FJL_COMPRESSED_DOCS)
  string(REGEX REPLACE "\\.gz$" "" plain ${compressed})
  add_custom_command(OUTPUT ${compressed}
                     COMMAND gzip -9 -n -k -f ${plain}
                     DEPENDS ${plain}
                     VERBATIM)
endforeach()
add_custom_target(fjl_docs ALL DEPENDS ${FJL_COMPRESSED_DOCS})

foreach(program fjl-restore fjl-restore-cli fjl-printer-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
foreach(page IN LISTS FJL_MAN_PAGES)
  install(FILES ${FJL_GENERATED_DOCS}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${FJL_GENERATED_DOCS}/man/ru/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
endforeach()
# The JSON Schema of --export json beside the README that describes it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${FJL_PACKAGING_DIR}/copyright ${FJL_GENERATED_DOCS}/changelog.gz
              ${FJL_PACKAGING_DIR}/schema/tape.schema.json
        DESTINATION ${FJL_INSTALL_DOCDIR})

# The menu entry, its icon and the software centre's description belong to
# the wizard.
if(TARGET fjl-restore)
  install(FILES ${FJL_PACKAGING_DIR}/fjl-restore.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${FJL_PACKAGING_DIR}/fjl-restore.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # Made from the SVG with `rsvg-convert -w 48 -h 48` (librsvg2-bin).
  install(FILES ${FJL_PACKAGING_DIR}/fjl-restore-48.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME fjl-restore.png)
  install(FILES ${FJL_GENERATED_DOCS}/fjl-restore.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
