# The release's metadata, made from the project's version and app id, and the install rules of
# the Linux program: the menu entry, the icon theme's icons, the AppStream metadata, the manual
# page and the documentation (GNUInstallDirs, so `cmake --install --prefix` places them).
include(GNUInstallDirs)

set(DERADU_RELEASE_DATE 2026-12-08)
set(DERADU_DEB_VERSION ${PROJECT_VERSION}-1)
set(DERADU_CONTACT deradu@qor.example)

# The information page's address, the window title and the app id must tell the same story.
file(STRINGS ${PROJECT_SOURCE_DIR}/app/ScreenTable.h screen_table REGEX "kTitle =|kHelpPageBase =")
string(REGEX MATCH "kTitle = \"([^\"]*)\"" _ "${screen_table}")
set(title ${CMAKE_MATCH_1})
string(REGEX MATCH "kHelpPageBase = \"(https://([^/\"]*)/[^\"]*/)" _ "${screen_table}")
set(DERADU_HOMEPAGE ${CMAKE_MATCH_1})
string(REPLACE "." ";" host_parts "${CMAKE_MATCH_2}")
list(REVERSE host_parts)
list(SUBLIST host_parts 0 2 id_parts)
string(JOIN "." id_prefix ${id_parts})
if(NOT DERADU_APP_ID MATCHES "^${id_prefix}\\.[A-Za-z]+$")
  message(FATAL_ERROR "DERADU_APP_ID ${DERADU_APP_ID} is not the reverse of the information "
                      "page's host in app/ScreenTable.h (${id_prefix}.<Name>)")
endif()
if(NOT title STREQUAL "${DERADU_PRODUCT_NAME} ${PROJECT_VERSION}")
  message(FATAL_ERROR "The window title \"${title}\" in app/ScreenTable.h does not carry the "
                      "project's name and version \"${DERADU_PRODUCT_NAME} ${PROJECT_VERSION}\"")
endif()

# The copyright file of the package quotes the licence's permission text, indented, with
# " ." for its blank lines.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(FIND "${license}" "Permission" permission_start)
string(SUBSTRING "${license}" ${permission_start} -1 license)
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " DERADU_LICENSE_BODY " ${license}")

execute_process(COMMAND date -u -R -d "${DERADU_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE DERADU_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)

set(metadata ${CMAKE_BINARY_DIR}/packaging)
set(templates ${PROJECT_SOURCE_DIR}/packaging)
configure_file(${templates}/linux/deradu.desktop.in ${metadata}/${DERADU_APP_ID}.desktop @ONLY)
configure_file(${templates}/linux/metainfo.xml.in ${metadata}/${DERADU_APP_ID}.metainfo.xml @ONLY)
# The manual page and the Windows README.txt take the facts players rely on from one file
# (docs/player-facts.txt, written in by tools/player_facts.sh), then the release's values.
set(player_facts ${PROJECT_SOURCE_DIR}/tools/player_facts.sh)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${player_facts}
  ${PROJECT_SOURCE_DIR}/docs/player-facts.txt ${templates}/linux/deradu.6.in
  ${templates}/windows/README.txt.in ${templates}/linux/help.txt.in)
function(deradu_fill_facts format template output)
  execute_process(COMMAND ${player_facts} ${format} ${template} OUTPUT_FILE ${output}.in
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "tools/player_facts.sh could not fill ${template}")
  endif()
endfunction()
deradu_fill_facts(roff ${templates}/linux/deradu.6.in ${metadata}/deradu.6)
configure_file(${metadata}/deradu.6.in ${metadata}/deradu.6 @ONLY)
# Read on Windows: CR LF line ends.
deradu_fill_facts(text ${templates}/windows/README.txt.in ${metadata}/README.txt)
string(REGEX REPLACE "." "=" DERADU_README_UNDERLINE "${DERADU_PRODUCT_NAME} ${PROJECT_VERSION}")
configure_file(${metadata}/README.txt.in ${metadata}/README.txt @ONLY NEWLINE_STYLE CRLF)
# What `deradu --help` prints after its usage line: the options, then the keys from the facts.
if(NOT WIN32)
  deradu_fill_facts(text ${templates}/linux/help.txt.in ${metadata}/help.txt)
  file(READ ${metadata}/help.txt.in DERADU_HELP_TEXT)
  get_target_property(program_folder deradu BINARY_DIR)
  file(CONFIGURE OUTPUT ${program_folder}/HelpText.h CONTENT
"// What --help prints after the usage line, written by the configuration from the player facts.
#pragma once

#include <string_view>

inline constexpr std::string_view kHelp = R\"help(@DERADU_HELP_TEXT@)help\";
" @ONLY)
endif()
configure_file(${templates}/linux/copyright.in ${metadata}/copyright @ONLY)
configure_file(${templates}/debian/control.in ${metadata}/debian/control @ONLY)
configure_file(${templates}/debian/changelog.in ${metadata}/debian/changelog @ONLY)
# What ./package.sh reads: one line per value, shell syntax.
file(WRITE ${metadata}/release.env
  "version='${PROJECT_VERSION}'\n"
  "deb_version='${DERADU_DEB_VERSION}'\n"
  "app_id='${DERADU_APP_ID}'\n"
  "product_name='${DERADU_PRODUCT_NAME}'\n"
  "publisher='${DERADU_PUBLISHER}'\n"
  "homepage='${DERADU_HOMEPAGE}'\n")

if(NOT WIN32)
  install(TARGETS deradu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${metadata}/${DERADU_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${metadata}/${DERADU_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The artwork generator draws one PNG per size of the icon theme: res/icon-<size>.png.
  file(GLOB desktop_icons ${PROJECT_SOURCE_DIR}/res/icon-*.png)
  foreach(icon IN LISTS desktop_icons)
    string(REGEX MATCH "icon-([0-9]+)\\.png$" _ "${icon}")
    install(FILES ${icon} RENAME ${DERADU_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${CMAKE_MATCH_1}x${CMAKE_MATCH_1}/apps)
  endforeach()
  install(FILES ${metadata}/deradu.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/NEWS
                ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt ${metadata}/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
