# What `cmake --install` puts under the prefix: the program, the desktop
# entry that offers it for folders in file managers, its icon and the help
# page.
include(GNUInstallDirs)
install(TARGETS plinth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/plinth.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/plinth.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The help page lives with the stand-in web site when there is one, which
# serves it at the maker's address; otherwise with the resources.
set(PLINTH_HELP_PAGE ${PROJECT_SOURCE_DIR}/tools/catalogue/site/plinthhelp.html)
if(NOT EXISTS ${PLINTH_HELP_PAGE})
  set(PLINTH_HELP_PAGE ${PROJECT_SOURCE_DIR}/resources/plinthhelp.html)
endif()
install(FILES ${PLINTH_HELP_PAGE} DESTINATION ${CMAKE_INSTALL_DOCDIR})
