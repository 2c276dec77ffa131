# `cmake --install build --prefix DIR` puts a game that runs from anywhere into DIR:
#   bin/quillmarsh                                   the game
#   share/quillmarsh/shader, share/quillmarsh/res    its data (the game looks in ../share/quillmarsh
#                                                    beside its executable)
#   share/applications/quillmarsh.desktop            the menu entry
#   share/icons/hicolor/256x256/apps/quillmarsh.png  the icon painted by tools/assetgen
include(GNUInstallDirs)
set(QM_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmarsh)
set(QM_ICON_DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

install(TARGETS quillmarsh RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/shader/ DESTINATION ${QM_DATA_DESTINATION}/shader)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/res/ DESTINATION ${QM_DATA_DESTINATION}/res PATTERN icons EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/res/icons/quillmarsh_256.png DESTINATION ${QM_ICON_DESTINATION}
        RENAME quillmarsh.png)

# The menu entry names the installed executable and icon by their full paths, so it works for any
# prefix (also one that is not on PATH); the prefix is only known when installing.
install(CODE "
  set(QM_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillmarsh\")
  set(QM_ICON \"\${CMAKE_INSTALL_PREFIX}/${QM_ICON_DESTINATION}/quillmarsh.png\")
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/quillmarsh.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/quillmarsh.desktop\" @ONLY)
")
install(FILES ${CMAKE_BINARY_DIR}/quillmarsh.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
