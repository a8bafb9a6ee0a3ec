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
# also serves at the maker's address.
install(FILES ${PROJECT_SOURCE_DIR}/tools/catalogue/site/plinthhelp.html
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
