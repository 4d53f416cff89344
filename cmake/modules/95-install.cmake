# `cmake --install`: the player, its man page, its desktop entry and its icon in the hicolor
# theme, under CMAKE_INSTALL_PREFIX (and DESTDIR).
include(GNUInstallDirs)
install(TARGETS morvanite RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/morvanite.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/dist/morvanite.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop-icon-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME morvanite.png)
endforeach()

# --help and the man page name the same options and keys.
add_test(NAME player-help-and-man-page-agree
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/programs/player_help_test.sh
          $<TARGET_FILE:morvanite> ${CMAKE_SOURCE_DIR}/dist/morvanite.6)
