# What `cmake --install` lays down and what CPack packs: the two programs, the
# desktop entry and AppStream metainfo (both named by the application's id),
# the icon in two forms, both manual pages, the exporter's bash completion,
# and the package's copyright and changelog.
include(GNUInstallDirs)

set(TEMBROOK_APP_ID io.github.tembrook.Tembrook)

# A stripping install (CPack's staging, `cmake --install --strip`) also drops
# the compiler's notes from what it strips, as Debian's own packaging steps do.
function(tembrook_install_strip_notes file)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\" COMMAND_ERROR_IS_FATAL ANY)
endif()")
endfunction()

foreach(program tembrook tembrook-export)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  tembrook_install_strip_notes(${CMAKE_INSTALL_BINDIR}/${program})
endforeach()
# The network-information module, where the programs look for it.
install(TARGETS tembrook_netinfo LIBRARY DESTINATION ${TEMBROOK_MODULE_DIR})
tembrook_install_strip_notes(${TEMBROOK_MODULE_DIR}/$<TARGET_FILE_NAME:tembrook_netinfo>)

set(_tb_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(_tb_gen ${PROJECT_BINARY_DIR}/packaging)

# Manual pages and the changelog are installed compressed, without a name or
# time stamp in the gzip header (gzip -9n), so that two builds of the same
# sources give the same bytes. The build tree keeps the plain sources.
find_program(TEMBROOK_GZIP gzip REQUIRED)
set(_tb_gz)
foreach(source tembrook.1 tembrook-export.1 changelog)
  add_custom_command(OUTPUT ${_tb_gen}/${source}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_tb_gen}
    COMMAND ${TEMBROOK_GZIP} -9n -c ${_tb_pkg}/${source} > ${_tb_gen}/${source}.gz
    DEPENDS ${_tb_pkg}/${source}
    COMMENT "Compressing ${source}")
  list(APPEND _tb_gz ${_tb_gen}/${source}.gz)
endforeach()
add_custom_target(tembrook_compressed_docs ALL DEPENDS ${_tb_gz})

install(FILES ${_tb_pkg}/${TEMBROOK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_tb_pkg}/${TEMBROOK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_tb_pkg}/tembrook.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${TEMBROOK_APP_ID}.svg)
install(FILES ${_tb_pkg}/tembrook-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME ${TEMBROOK_APP_ID}.png)
install(FILES ${_tb_gen}/tembrook.1.gz ${_tb_gen}/tembrook-export.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# bash-completion loads a command's completion on first use from
# share/bash-completion/completions/<command>, under the system's and the
# user's data folders alike.
install(FILES ${_tb_pkg}/tembrook-export.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tembrook-export)
# Debian's places: the package name, not the project's, names the folder.
install(FILES ${_tb_pkg}/copyright ${_tb_gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tembrook)

set(CPACK_PACKAGE_NAME tembrook)
set(CPACK_PACKAGE_VENDOR "Tembrook developers")
set(CPACK_PACKAGE_CONTACT "Tembrook developers <tembrook@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Comic release schedule collector with a Japanese interface")
# The extended description; CPack puts the summary in front of it.
file(READ ${_tb_pkg}/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package's programs are stripped while CPack stages them; the build
# tree's stay as they were built, with their symbols for debugging.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/tembrook/tembrook")
# dpkg-shlibdeps finds the libraries the programs and the network-information
# module link (Qt 6 Core, Gui, Widgets, Network, libxml2); what is loaded at run time
# is named by hand: libcurl (opened by name when the first transfer needs it,
# see platform/net/CurlLibrary.h), the platform plugins the window needs, the
# Japanese font and Qt's Japanese translation (qtbase_ja.qm, app/QtTranslation.h).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libcurl4 (>= 7.88), qt6-qpa-plugins, fonts-monapo, fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
include(CPack)
