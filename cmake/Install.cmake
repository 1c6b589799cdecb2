# Installation: the program and fmtool in bin/, the default library in share/varrow/, a desktop
# entry, the application icon, the library file type and the software centre description where
# desktops look for them; `cpack -G DEB` makes a package.
include(GNUInstallDirs)

if(TARGET varrow)
  install(TARGETS varrow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS fmtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

file(GLOB_RECURSE default_library ${PROJECT_SOURCE_DIR}/src/library/*.FFM)
if(default_library)
  install(FILES ${default_library} DESTINATION ${CMAKE_INSTALL_DATADIR}/varrow)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/varrow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/varrow.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The library file type (shared MIME info) and the description software centres list.
install(FILES ${PROJECT_SOURCE_DIR}/resources/varrow-library.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.varrow.Varrow.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME varrow)
set(CPACK_PACKAGE_VENDOR "Varrow developers")
set(CPACK_PACKAGE_CONTACT "Varrow developers <varrow@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keep, edit and test surface fire behavior fuel models")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "A desktop tool for wildland fire analysts: a library of surface fire behavior fuel models in sets, "
       "an editor that tests a model's fire behavior against a reference model with charts and slider "
       "tuners, and fmtool, which checks, lists and computes libraries from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Installed programs carry no debugging symbols; the build folder keeps them.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
include(CPack)
