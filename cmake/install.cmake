# What `cmake --install` puts under the prefix: the program, the desktop
# entry that offers it for folders in file managers, its icon and the help
# page.
install(TARGETS plinth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(PLINTH_HAVE_QT)
  install(TARGETS plinth_qt LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/plinth)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/plinth.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/plinth.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The help page is the maker's site's own page, which the stand-in web site
# also serves at the maker's address. The build puts a copy beside the
# program, where Online Help finds it when the program runs from the build.
set(PLINTH_HELP_PAGE ${PROJECT_SOURCE_DIR}/tools/catalogue/site/plinthhelp.html)
configure_file(${PLINTH_HELP_PAGE} ${CMAKE_BINARY_DIR}/plinthhelp.html COPYONLY)
install(FILES ${PLINTH_HELP_PAGE} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A registry file and default settings for every user, so that a first run
# shows no error box. They go where XDG_CONFIG_DIRS looks (/etc/xdg for a
# /usr install, <prefix>/etc/xdg otherwise); Save Settings writes the user's
# own copy and never these. The registry file names the settings file by
# its path, which is only known once the install prefix is.
install(CODE "set(PLINTH_SYSCONFDIR \"${CMAKE_INSTALL_SYSCONFDIR}\")
  set(PLINTH_DEFAULT_SETTINGS \"${PROJECT_SOURCE_DIR}/resources/default-settings.xml\")")
install(CODE [[
  if(IS_ABSOLUTE "${PLINTH_SYSCONFDIR}")
    set(etc "${PLINTH_SYSCONFDIR}")
  elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(etc "/etc")
  else()
    set(etc "${CMAKE_INSTALL_PREFIX}/${PLINTH_SYSCONFDIR}")
  endif()
  set(folder "${etc}/xdg/plinth")
  string(REPLACE "\\" "\\\\" escaped "${folder}/settings.xml")
  string(REPLACE "\"" "\\\"" escaped "${escaped}")
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${folder}")
  message(STATUS "Installing: $ENV{DESTDIR}${folder}/registry.reg")
  file(WRITE "$ENV{DESTDIR}${folder}/registry.reg"
       "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n\"Settings\"=\"${escaped}\"\n")
  message(STATUS "Installing: $ENV{DESTDIR}${folder}/settings.xml")
  configure_file("${PLINTH_DEFAULT_SETTINGS}" "$ENV{DESTDIR}${folder}/settings.xml" COPYONLY)
]])
