# Installing and packaging. The program finds what it ships (packages,
# calendar files, help pages, the picture viewer) beside its executable, so
# everything goes into one program folder, <prefix>/lib/jotbox, and the
# commands are links to it from <prefix>/bin.
include(GNUInstallDirs)
set(JBX_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/jotbox)
if(CMAKE_INSTALL_LIBDIR MATCHES "/")
  set(JBX_INSTALL_DIR lib/jotbox)  # Debian's multiarch libdir: the program folder stays lib/jotbox
endif()

set(_jbx_programs jbx)
if(TARGET jbx-draw)
  list(APPEND _jbx_programs jbx-draw)  # jbx runs it from beside itself for the drawing subcommands
endif()
if(TARGET jotbox)
  list(APPEND _jbx_programs jotbox)
endif()
if(TARGET jbxview)
  list(APPEND _jbx_programs jbxview)
endif()
install(TARGETS ${_jbx_programs} RUNTIME DESTINATION ${JBX_INSTALL_DIR})
install(FILES ${JBX_PROGRAM_DIR}/holiday.dat ${JBX_PROGRAM_DIR}/kinen.dat DESTINATION ${JBX_INSTALL_DIR})
install(DIRECTORY ${JBX_PROGRAM_DIR}/ DESTINATION ${JBX_INSTALL_DIR} FILES_MATCHING PATTERN "*.jpk"
        PATTERN "help" EXCLUDE PATTERN "*_autogen" EXCLUDE)
install(DIRECTORY ${JBX_PROGRAM_DIR}/help/ DESTINATION ${JBX_INSTALL_DIR}/help)
foreach(_p jotbox jbx)
  if(TARGET ${_p})
    install(CODE "
      set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(MAKE_DIRECTORY \"\${_bin}\")
      file(CREATE_LINK \"../${JBX_INSTALL_DIR}/${_p}\" \"\${_bin}/${_p}\" SYMBOLIC)")
  endif()
endforeach()

# the menu entry, its icon at every size, the software-centre description,
# all named by the program's desktop id
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/jotbox.desktop.in
               ${CMAKE_BINARY_DIR}/desktop/${JBX_APP_ID}.desktop @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/jotbox.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${JBX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${JBX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${JBX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(JBX_GUI)
  add_executable(icongen ${CMAKE_SOURCE_DIR}/tools/icongen.cpp)
  target_link_libraries(icongen PRIVATE jbx_ui)
  set_target_properties(icongen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/icons/256x256/apps/${JBX_APP_ID}.png
    COMMAND icongen ${CMAKE_BINARY_DIR}/icons ${JBX_APP_ID}
    DEPENDS icongen COMMENT "Drawing the program's icons")
  add_custom_target(icons ALL DEPENDS ${CMAKE_BINARY_DIR}/icons/256x256/apps/${JBX_APP_ID}.png)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

# the man pages, compressed as Debian keeps them: jbx's from the same texts
# as its --help, jotbox's written by hand
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/jbx.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-manpage.sh $<TARGET_FILE:jbx> ${CMAKE_BINARY_DIR}/man/jbx.1
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/jbx.1
  DEPENDS jbx ${CMAKE_SOURCE_DIR}/scripts/make-manpage.sh COMMENT "Writing the man page of jbx")
configure_file(${CMAKE_SOURCE_DIR}/data/man/jotbox.1 ${CMAKE_BINARY_DIR}/man/jotbox.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/jotbox.1.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/man/jotbox.1
  DEPENDS ${CMAKE_BINARY_DIR}/man/jotbox.1)
add_custom_target(manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/man/jbx.1.gz ${CMAKE_BINARY_DIR}/man/jotbox.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/man/jbx.1.gz ${CMAKE_BINARY_DIR}/man/jotbox.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# what Debian asks of every package: the licence in its machine-readable
# form and the package's own history, compressed
set(_jbx_doc ${CMAKE_INSTALL_DATADIR}/doc/jotbox)
configure_file(${CMAKE_SOURCE_DIR}/data/deb/copyright.in ${CMAKE_BINARY_DIR}/deb/copyright @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/data/deb/changelog.Debian > ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/data/deb/changelog.Debian)
add_custom_target(deb_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/deb/copyright ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz DESTINATION ${_jbx_doc})

# cpack -G DEB: a Debian package with its library dependencies computed.
# The package people download is made by scripts/make-deb.sh from a Release
# build; the binaries are stripped (a build with debug information also gets
# a separate -dbgsym package).
set(CPACK_PACKAGE_NAME jotbox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)  # the top entry of data/deb/changelog.Debian
set(CPACK_PACKAGE_CONTACT "${JBX_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary, schedule, household accounts and notebook (ひとこと帳)")
# below the summary line, as dpkg shows it: lines of at most 80 columns
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A single-user desktop notebook for Japanese-language users: entries filed
under a date or a page and line, several books each with its own input form
and screens, search, extraction, alarms, printing, CSV and backup.
The command-line tool jbx works on the same files without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
if(CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libical3 is found by the library scan too; named here as well, with the
# zone rules it reads (the calendar export writes the user's time zone)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont, qt6-translations-l10n, libical3, tzdata, libqt6charts6, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_GENERATOR DEB)
include(CPack)
