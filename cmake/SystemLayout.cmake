# The system layout, beside the program folder: the places a Linux distribution gives a program
# (GNUInstallDirs), installed only on request as the component "system":
#   cmake --install BUILD --prefix /usr --component system
# A plain `cmake --install` keeps making the program folder. The Debian package of
# scripts/package.sh is this component.
include(GNUInstallDirs)

set(KESTRUNE_LINUX ${PROJECT_SOURCE_DIR}/resources/linux)
set(KESTRUNE_SYSTEM_FILES ${CMAKE_BINARY_DIR}/system-layout)
set(KESTRUNE_DOCS ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrune)
# The program finds its data folder as "share/kestrune" beside its "bin" folder.
set(KESTRUNE_DATA ${CMAKE_INSTALL_DATAROOTDIR}/kestrune)
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin")
  message(WARNING "The programs look for share/kestrune beside bin, not beside ${CMAKE_INSTALL_BINDIR}")
endif()

install(TARGETS kestrune-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT system EXCLUDE_FROM_ALL)
# The demo station that the first start from the menu copies into ~/Kestrune.
install(FILES resources/demo/master_template.cfg DESTINATION ${KESTRUNE_DATA}/demo/Sessions
        COMPONENT system EXCLUDE_FROM_ALL)
install(DIRECTORY "${KESTRUNE_DEMO_STATION}/Demo_MP3's/" DESTINATION "${KESTRUNE_DATA}/demo/Demo_MP3's"
        COMPONENT system EXCLUDE_FROM_ALL FILES_MATCHING PATTERN "*.mp3")

# Manual pages and the Debian change log, compressed as the distribution keeps them (-n: no
# name or time in the header, so the same sources give the same bytes).
find_program(KESTRUNE_GZIP gzip)
set(KESTRUNE_GZIPPED "")
function(kestrune_gzip source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRUNE_SYSTEM_FILES}
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${KESTRUNE_GZIP} ${source} ${output}
    DEPENDS ${source}
    VERBATIM)
  set(KESTRUNE_GZIPPED ${KESTRUNE_GZIPPED} ${output} PARENT_SCOPE)
endfunction()

configure_file(${KESTRUNE_LINUX}/changelog.in ${KESTRUNE_SYSTEM_FILES}/changelog.Debian @ONLY)
if(KESTRUNE_GZIP)
  kestrune_gzip(${KESTRUNE_LINUX}/kestrune.1 ${KESTRUNE_SYSTEM_FILES}/kestrune.1.gz)
  kestrune_gzip(${KESTRUNE_LINUX}/kestrune-cli.1 ${KESTRUNE_SYSTEM_FILES}/kestrune-cli.1.gz)
  kestrune_gzip(${KESTRUNE_SYSTEM_FILES}/changelog.Debian
                ${KESTRUNE_SYSTEM_FILES}/changelog.Debian.gz)
  kestrune_gzip(${PROJECT_SOURCE_DIR}/README.md ${KESTRUNE_SYSTEM_FILES}/README.md.gz)
  install(FILES ${KESTRUNE_SYSTEM_FILES}/kestrune.1.gz ${KESTRUNE_SYSTEM_FILES}/kestrune-cli.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT system EXCLUDE_FROM_ALL)
  install(FILES ${KESTRUNE_SYSTEM_FILES}/changelog.Debian.gz ${KESTRUNE_SYSTEM_FILES}/README.md.gz
          DESTINATION ${KESTRUNE_DOCS} COMPONENT system EXCLUDE_FROM_ALL)
else()
  message(WARNING "gzip not found: the system layout has no manual pages")
endif()
install(FILES ${KESTRUNE_LINUX}/copyright DESTINATION ${KESTRUNE_DOCS}
        COMPONENT system EXCLUDE_FROM_ALL)

if(TARGET kestrune)
  install(TARGETS kestrune RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
          COMPONENT system EXCLUDE_FROM_ALL)
  install(FILES ${KESTRUNE_LINUX}/kestrune.desktop
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT system EXCLUDE_FROM_ALL)
  install(FILES ${KESTRUNE_LINUX}/kestrune.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT system EXCLUDE_FROM_ALL)
  set(KESTRUNE_HICOLOR ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
  install(FILES resources/icons/kestrune.svg DESTINATION ${KESTRUNE_HICOLOR}/scalable/apps
          COMPONENT system EXCLUDE_FROM_ALL)
  # The icon drawn at the sizes menus and docks ask for, from the one SVG.
  find_program(KESTRUNE_RSVG_CONVERT rsvg-convert)
  if(KESTRUNE_RSVG_CONVERT)
    foreach(size 16 22 24 32 48 64 128 256)
      set(png ${KESTRUNE_SYSTEM_FILES}/icons/${size}/kestrune.png)
      add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRUNE_SYSTEM_FILES}/icons/${size}
        COMMAND ${KESTRUNE_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                ${PROJECT_SOURCE_DIR}/resources/icons/kestrune.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/kestrune.svg
        VERBATIM)
      list(APPEND KESTRUNE_GZIPPED ${png})
      install(FILES ${png} DESTINATION ${KESTRUNE_HICOLOR}/${size}x${size}/apps
              COMPONENT system EXCLUDE_FROM_ALL)
    endforeach()
  else()
    message(WARNING "rsvg-convert not found (librsvg2-bin): the system layout has no PNG icons")
  endif()
endif()
add_custom_target(system-layout-files ALL DEPENDS ${KESTRUNE_GZIPPED})

# The Debian package: the system component under /usr, its dependencies from the libraries the
# programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrune)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Kestrune;system;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Kestrune maintainers <maintainers@users.noreply.c-seed-60983744.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plugins Qt loads at run time come with the libraries the programs link: the X11 platform
# with libqt6gui6, the SVG icon engine with libqt6svg6, the sound backends with libqt6multimedia6.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "liquidsoap, icecast2")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builds formatted playlists for an internet radio station")
# CPack puts the summary first and indents every line of this text itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kestrune programs an internet radio station from category playlists (oldies,
current hits, jingles, commercials...) and a clock template. It shuffles the
categories, walks the template, keeps recently played artists apart, reads
playing times and tags from the audio files themselves, and writes the final
playlist with an optional text log.

The package holds the desktop program, the command-line tool kestrune-cli for
servers and cron jobs, and a demo station.")
include(CPack)
