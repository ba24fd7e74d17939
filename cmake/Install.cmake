# Desktop integration of the window program: a menu entry and its icon.
# The executables install themselves (app/CMakeLists.txt).
include(GNUInstallDirs)

if(TARGET udecomp-gui)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/../app/udecomp.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/../app/udecomp.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
