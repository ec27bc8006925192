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
  PATTERN "Settings.ini" EXCLUDE PATTERN "LC_MESSAGES" EXCLUDE PATTERN "tmpFoxImage*" EXCLUDE
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
# The project files' type (*.vantrel), which the desktop entry opens.
install(FILES ${PROJECT_SOURCE_DIR}/data/mime/vantrel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantrel.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/vantrel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# What a distribution expects of the package beside the programs: the copyright file and the
# changelog, the manual pages, the completion of vantrel-author and the software-centre
# metadata. The version and the maintainer are filled in from CMakeLists.txt.
set(VANTREL_PACKAGE_DATA ${PROJECT_SOURCE_DIR}/data/package)
set(VANTREL_PACKAGE_OUT ${CMAKE_BINARY_DIR}/package)
set(VANTREL_METAINFO example.vantrel.Vantrel.metainfo.xml)
# The metainfo's newest release is the package's version; a version raised without a
# release entry (or a changelog entry) stops the configuration here.
file(READ ${VANTREL_PACKAGE_DATA}/${VANTREL_METAINFO} _metainfo)
string(REGEX MATCH "<release version=\"([^\"]+)\"" _ "${_metainfo}")
file(STRINGS ${VANTREL_PACKAGE_DATA}/changelog.in _changelog_top LIMIT_COUNT 1)
if(NOT CMAKE_MATCH_1 STREQUAL VANTREL_VERSION OR NOT _changelog_top MATCHES "^vantrel \\(${VANTREL_VERSION}\\) ")
  message(FATAL_ERROR "data/package: the newest release of ${VANTREL_METAINFO} and of changelog.in "
                      "must be ${VANTREL_VERSION}, the project's version")
endif()
configure_file(${VANTREL_PACKAGE_DATA}/copyright.in ${VANTREL_PACKAGE_OUT}/copyright @ONLY)
configure_file(${VANTREL_PACKAGE_DATA}/changelog.in ${VANTREL_PACKAGE_OUT}/changelog @ONLY)
set(VANTREL_COMPRESSED ${VANTREL_PACKAGE_OUT}/changelog.gz)
foreach(page vantrel vantrel-author encorva-convert)
  configure_file(${VANTREL_PACKAGE_DATA}/${page}.1 ${VANTREL_PACKAGE_OUT}/${page}.1 @ONLY)
  list(APPEND VANTREL_COMPRESSED ${VANTREL_PACKAGE_OUT}/${page}.1.gz)
endforeach()
# Debian ships manual pages and changelogs compressed to the most, without a time stamp.
foreach(compressed IN LISTS VANTREL_COMPRESSED)
  string(REGEX REPLACE "\\.gz$" "" plain ${compressed})
  add_custom_command(OUTPUT ${compressed} COMMAND gzip -9nc ${plain} > ${compressed} DEPENDS ${plain} VERBATIM)
endforeach()
add_custom_target(vantrel_package_docs ALL DEPENDS ${VANTREL_COMPRESSED})

install(FILES ${VANTREL_PACKAGE_OUT}/copyright ${VANTREL_PACKAGE_OUT}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${VANTREL_PACKAGE_OUT}/vantrel.1.gz ${VANTREL_PACKAGE_OUT}/vantrel-author.1.gz
  ${VANTREL_PACKAGE_OUT}/encorva-convert.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VANTREL_PACKAGE_DATA}/vantrel-author.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vantrel-author)
install(FILES ${VANTREL_PACKAGE_DATA}/${VANTREL_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package. The programs the run starts as child processes and the fonts the
# menus are drawn with are named here; the libraries come from dpkg-shlibdeps, run by
# cmake/DebianDepends.cmake when the package is made.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${VANTREL_VERSION})
set(CPACK_PACKAGE_CONTACT "${VANTREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DVD authoring: video files to a DVD with a menu")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Vantrel makes a DVD that plays in any DVD player from the video files a
user has (MPEG, AVI, WMV and most other formats). The files become the
disc's titles; a menu with one thumbnail button per title, a header, a
footer and a background picture is designed in a live preview.
.
When the disc is built, every title that is not ready for a DVD is
converted to MPEG-2, planned so that the whole list fills the disc at the
best quality that fits; the menus are rendered and the DVD-Video folder is
authored. It is then written to a DVD recorder and read back, written to
an image file, or kept as a folder.
.
The package holds the desktop program (vantrel), the command-line front
end (vantrel-author), which authors, converts, writes and erases discs in
scripts, and the conversion component Encorva with its client
encorva-convert.]=])
set(CPACK_PACKAGE_HOMEPAGE_URL https://vantrel.example/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# dpkg-shlibdeps is run by the project's own CPack step instead of CPack's: CPack's adds
# an ldconfig call to postinst and postrm for any library under /usr/lib, and the private
# libraries of /usr/lib/vantrel need none.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_VANTREL_APP_DIR ${VANTREL_APP_DIR})
set(CPACK_VANTREL_TOOL_DEPENDS
  "dvdauthor, mjpegtools, mpgtx, genisoimage, fonts-liberation, fonts-wqy-zenhei")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/DebianDepends.cmake)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
include(CPack)
