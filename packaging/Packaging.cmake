# SPDX-License-Identifier: GPL-3.0-or-later
# What an installation holds: the program, its help page, the desktop entry, the
# AppStream metainfo, the icon and the copyright file. Tests, benchmarks and the demo
# market stay in the build tree.
set(TARNWEL_APP_ID io.github.tarnwel.Tarnwel)
set(_packaging ${CMAKE_CURRENT_LIST_DIR})
# The release named in the metainfo is the version given to project().
set(_metainfo ${CMAKE_CURRENT_BINARY_DIR}/packaging/${TARNWEL_APP_ID}.metainfo.xml)
configure_file(${_packaging}/${TARNWEL_APP_ID}.metainfo.xml.in ${_metainfo} @ONLY)

install(TARGETS tarnwel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES help/how.htm DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnwel)
install(FILES ${_packaging}/${TARNWEL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_packaging}/icons/${TARNWEL_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES ${_packaging}/icons/${TARNWEL_APP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TARNWEL_APP_ID}.png)
endforeach()
# Debian's place for the machine-readable licence of every file in the package.
install(FILES ${_packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnwel)

if(BUILD_TESTING)
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  if(DESKTOP_FILE_VALIDATE)
    add_test(NAME desktop_entry_valid
             COMMAND ${DESKTOP_FILE_VALIDATE} ${_packaging}/${TARNWEL_APP_ID}.desktop)
    # The validator prints hints but still exits 0 for them; any output is a finding.
    set_tests_properties(desktop_entry_valid PROPERTIES FAIL_REGULAR_EXPRESSION "error|warning|hint")
  else()
    message(WARNING "desktop-file-validate not found (desktop-file-utils): desktop entry not checked")
  endif()
  if(APPSTREAMCLI)
    add_test(NAME metainfo_valid COMMAND ${APPSTREAMCLI} validate --no-net ${_metainfo})
  else()
    message(WARNING "appstreamcli not found (appstream): metainfo not checked")
  endif()
endif()

# cpack -G DEB, from a release build. The library dependencies come from dpkg-shlibdeps;
# a CJK font is only recommended, since any one will do, and so are Qt's translations,
# without which Qt's own buttons read in English.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwel)
set(CPACK_PACKAGE_VENDOR "Tarnwel")
set(CPACK_PACKAGE_CONTACT "Tarnwel developers <tarnwel@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Always-on-top stock-quote ticker for Shanghai and Shenzhen")
set(CPACK_PACKAGE_DESCRIPTION
    "A small frameless ticker that walks through a watch list of A-share stocks,
one every five seconds, beside the two market indices, with a watch-list
window, charts and a near-invisible stealth line. Simplified Chinese interface.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/tarnwel/tarnwel")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
