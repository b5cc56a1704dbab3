# Everything an installed Tarvok brings besides the programs (each program's folder
# installs its own binary), and the Debian package built from it by CPack
# (scripts/package.sh).
include(GNUInstallDirs)

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

# Man pages go in compressed, as Debian's policy asks, with the project's version.
set(tarvok_man_pages tarvok tarvok-sim)
if(TARGET tarvokctl)
  list(APPEND tarvok_man_pages tarvokctl)
endif()
find_program(TARVOK_GZIP gzip REQUIRED)
foreach(page IN LISTS tarvok_man_pages)
  set(versioned ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1)
  set(compressed ${versioned}.gz)
  configure_file(${PROJECT_SOURCE_DIR}/app/man/${page}.1 ${versioned} @ONLY)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${TARVOK_GZIP} -9n -c ${versioned} > ${compressed}
    DEPENDS ${versioned} VERBATIM)
  list(APPEND tarvok_compressed_man_pages ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(tarvok_man_pages ALL DEPENDS ${tarvok_compressed_man_pages})

set(tarvok_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarvok)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${tarvok_doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/ui/fonts/OFL.txt
        DESTINATION ${tarvok_doc_dir})

# The Debian package: tarvok_<version>_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvok)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up multi-channel relay modules over a serial line")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvok configures relay modules on a serial line (usually a USB RS-485 adapter):\n"
    "a channel's input/output association mode, its power-on state, and the module's\n"
    "own baud rate and parity. The package holds the window tarvok, the command-line\n"
    "tool tarvokctl and the simulated module tarvok-sim.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "The Tarvok developers <tarvok@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Chinese texts are loaded at run time, so the library scan cannot see them.
# The X11 platform plugin needs nothing extra: Debian ships it in libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
