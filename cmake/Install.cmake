# What `cmake --install` lays down and what CPack packs: the two programs, the
# desktop entry, the icon in two forms and the exporter's manual page.
include(GNUInstallDirs)

foreach(program tembrook tembrook-export)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(_tb_pkg ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${_tb_pkg}/tembrook.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_tb_pkg}/tembrook.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_tb_pkg}/tembrook-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME tembrook.png)
install(FILES ${_tb_pkg}/tembrook-export.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME tembrook)
set(CPACK_PACKAGE_VENDOR "Tembrook developers")
set(CPACK_PACKAGE_CONTACT "Tembrook developers <tembrook@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Comic release schedule collector with a Japanese interface")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tembrook.example.org/")
# dpkg-shlibdeps finds the libraries the programs link (Qt 6 Core, Gui,
# Widgets, Network, libcurl); what is loaded at run time is named by hand:
# the platform plugins the window needs and the Japanese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-monapo, fonts-ipafont-gothic")
set(CPACK_GENERATOR DEB)
include(CPack)
