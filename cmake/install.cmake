# Everything an installed Tarvok brings besides the programs (each program's folder
# installs its own binary), and the Debian package built from it by CPack
# (scripts/package.sh).
include(GNUInstallDirs)
# Installing and packaging take what was built (scripts/package.sh builds everything
# first) instead of building every target: the test script's package check would
# otherwise build the test and measurement programs it never runs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TARVOK_ICON_SIZES 16 24 32 48 64 128 256)
foreach(size IN LISTS TARVOK_ICON_SIZES)
  install(FILES ${PROJECT_SOURCE_DIR}/ui/icons/tarvok-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tarvok.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/ui/icons/tarvok.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/app/tarvok.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/app/org.tarvok.Tarvok.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Each man page's source in app/man/ holds the English and the Chinese page: a line
# that starts "en: " or "zh: " is for that page alone, every other line for both.
# The Chinese page gets the line-breaking rules of app/man/chinese.roff after its
# title. Both go in compressed, as Debian's policy asks, with the project's version.
function(tarvok_man_page source language out)
  set(rules ${PROJECT_SOURCE_DIR}/app/man/chinese.roff)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source} ${rules})
  file(READ ${source} text)
  set(other zh)
  if(language STREQUAL "zh")
    set(other en)
  endif()
  string(REGEX REPLACE "\n${other}: [^\n]*" "" text "${text}")
  string(REGEX REPLACE "\n${language}: " "\n" text "${text}")
  if(language STREQUAL "zh")
    string(REGEX MATCH "^.*\n\.TH [^\n]*\n" head "${text}")
    string(LENGTH "${head}" length)
    string(SUBSTRING "${text}" ${length} -1 tail)
    file(READ ${rules} rules_text)
    set(text "${head}${rules_text}${tail}")
  endif()
  file(CONFIGURE OUTPUT ${out} CONTENT "${text}" @ONLY)
endfunction()

set(tarvok_man_pages tarvok tarvok-sim)
if(TARGET tarvokctl)
  list(APPEND tarvok_man_pages tarvokctl)
endif()
find_program(TARVOK_GZIP gzip REQUIRED)
# Compresses `file` into the build and installs it into `folder`.
function(tarvok_install_compressed file folder)
  set(compressed ${file}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${TARVOK_GZIP} -9n -c ${file} > ${compressed}
    DEPENDS ${file} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY tarvok_compressed ${compressed})
  install(FILES ${compressed} DESTINATION ${folder})
endfunction()
foreach(page IN LISTS tarvok_man_pages)
  foreach(language IN ITEMS en zh)
    set(folder ${CMAKE_INSTALL_MANDIR}/man1)
    if(language STREQUAL "zh")
      set(folder ${CMAKE_INSTALL_MANDIR}/zh_CN/man1)
    endif()
    set(page_file ${CMAKE_CURRENT_BINARY_DIR}/man/${language}/${page}.1)
    tarvok_man_page(${PROJECT_SOURCE_DIR}/app/man/${page}.1 ${language} ${page_file})
    tarvok_install_compressed(${page_file} ${folder})
  endforeach()
endforeach()

# The package's revision beside the project's version: the changelog's newest entry
# must be for exactly this one.
set(TARVOK_DEBIAN_REVISION 1)
set(tarvok_changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tarvok_changelog})
file(STRINGS ${tarvok_changelog} tarvok_newest LIMIT_COUNT 1)
if(NOT tarvok_newest MATCHES "^tarvok \\(${PROJECT_VERSION}-${TARVOK_DEBIAN_REVISION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${tarvok_newest}': "
                      "add an entry for ${PROJECT_VERSION}-${TARVOK_DEBIAN_REVISION} on top")
endif()
configure_file(${tarvok_changelog} ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian COPYONLY)

set(tarvok_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarvok)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${tarvok_doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/ui/fonts/OFL.txt
        DESTINATION ${tarvok_doc_dir})
tarvok_install_compressed(${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian ${tarvok_doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tarvok)
get_property(tarvok_compressed GLOBAL PROPERTY tarvok_compressed)
add_custom_target(tarvok_compressed_files ALL DEPENDS ${tarvok_compressed})

# The Debian package: tarvok_<version>_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvok)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up multi-channel relay modules over a serial line")
# Lines of at most 79 characters: dpkg shows the description indented by one.
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvok configures relay modules on a serial line (usually a USB RS-485\n"
    "adapter): a channel's input/output association mode, its power-on state,\n"
    "and the module's own baud rate and parity. The package holds the window\n"
    "tarvok, the command-line tool tarvokctl and the simulated module tarvok-sim.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
# The project keeps no mail box; an address in the reserved .invalid domain says so
# and can never reach a stranger.
set(CPACK_PACKAGE_CONTACT "The Tarvok developers <tarvok@tarvok.invalid>")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TARVOK_DEBIAN_REVISION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Chinese texts are loaded at run time, so the library scan cannot see them.
# The X11 platform plugin needs nothing extra: Debian ships it in libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
