# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` puts the application folder under the prefix as lib/vantrel/ (the
# programs, the loadable modules, the shared libraries and the data), with links to the
# programs in bin/. The programs find the folder through the running executable, so the
# links work from anywhere. `scripts/package` makes a Debian package of the same tree.
include(GNUInstallDirs)
set(VANTREL_INSTALL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/vantrel)
if(CMAKE_INSTALL_LIBDIR MATCHES "/")  # lib/x86_64-linux-gnu: keep the folder plain
  set(VANTREL_INSTALL_APP_DIR lib/vantrel)
endif()

set(VANTREL_PROGRAMS vantrel vantrel-author regsvr32 encorva-convert)
set(VANTREL_LIBRARIES vantrel_com vantrel_window vantrel_log foxburner)
set(VANTREL_MODULES Encorva mpgfiltr)
foreach(target IN LISTS VANTREL_PROGRAMS VANTREL_LIBRARIES VANTREL_MODULES)
  if(TARGET ${target})
    install(TARGETS ${target}
      RUNTIME DESTINATION ${VANTREL_INSTALL_APP_DIR}
      LIBRARY DESTINATION ${VANTREL_INSTALL_APP_DIR})
  endif()
endforeach()

# Everything else the build put into the application folder and ships: data files, the
# generated media, help pages and skins when there are any.
install(DIRECTORY ${VANTREL_APP_DIR}/ DESTINATION ${VANTREL_INSTALL_APP_DIR}
  FILES_MATCHING
  PATTERN "*.ini" PATTERN "*.txt" PATTERN "*.mp2" PATTERN "*.mpg" PATTERN "*.htm" PATTERN "*.html"
  PATTERN "*.png" PATTERN "*.css" PATTERN "*.xml" PATTERN "*.smf"
  PATTERN "Settings.ini" EXCLUDE PATTERN "tmpFoxImage*" EXCLUDE
  PATTERN "TEMP" EXCLUDE PATTERN "TEMPBITMAP*" EXCLUDE PATTERN "Bitmap00000*" EXCLUDE)

foreach(program IN LISTS VANTREL_PROGRAMS)
  if(TARGET ${program} AND NOT program STREQUAL "regsvr32")
    install(CODE "
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(CREATE_LINK \"../${VANTREL_INSTALL_APP_DIR}/${program}\"
           \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)
      message(STATUS \"Linking: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")")
  endif()
endforeach()

# The desktop entry ("Open with" passes the files on) and the icon in every size.
install(FILES ${PROJECT_SOURCE_DIR}/data/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantrel.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/vantrel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian package. Library dependencies come from dpkg-shlibdeps; the programs the run
# starts as child processes and the fonts the menus are drawn with are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vantrel developers <vantrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DVD authoring: video files to a DVD with a menu")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "dvdauthor, mjpegtools, mpgtx, genisoimage, fonts-liberation, fonts-wqy-zenhei")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
include(CPack)
