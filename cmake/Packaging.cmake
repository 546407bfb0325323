# Installation (`cmake --install`) and the Debian package (`cpack -G DEB`): the two programs, the
# desktop entry that opens .sql files, the icon in the hicolor theme, the session bus service
# that starts the automation server, and the help pages to read outside the program too (the
# program carries its own copy).
include(GNUInstallDirs)

# Installing and packaging take what the build made (build first); they do not rebuild every test
# and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS marlix marlix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(MARLIX_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/data/desktop)
install(FILES ${MARLIX_DESKTOP_DIR}/org.marlix.Marlix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MARLIX_DESKTOP_DIR}/org.marlix.Marlix.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${MARLIX_DESKTOP_DIR}/org.marlix.Marlix-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME org.marlix.Marlix.png)
endforeach()

# The bus starts the server by its absolute path, known only when installing: the prefix of
# `cmake --install --prefix`, or /usr inside the package.
set(MARLIX_SERVICE_TEMPLATE ${MARLIX_DESKTOP_DIR}/org.marlix.Marlix.service.in)
set(MARLIX_SERVICE_STAGE ${CMAKE_BINARY_DIR}/service/org.marlix.Marlix.service)
install(CODE "
  set(MARLIX_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/marlix\")
  configure_file(\"${MARLIX_SERVICE_TEMPLATE}\" \"${MARLIX_SERVICE_STAGE}\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services\"
       TYPE FILE FILES \"${MARLIX_SERVICE_STAGE}\")
")

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marlix)
if(EXISTS ${PROJECT_SOURCE_DIR}/src/workspace/help/pages/index.html)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/workspace/help/pages/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marlix/html)
endif()

# The package installs under /usr; DESTDIR staging keeps CMAKE_INSTALL_PREFIX at /usr while it is
# built, so that the service file names /usr/bin/marlix.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marlix)
set(CPACK_PACKAGE_VENDOR "Marlix")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SQL query tool for ODBC databases that turns results into SQL scripts")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Marlix developers <marlix@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_PACKAGE_DESCRIPTION
  "Marlix connects to one database at a time through unixODBC, runs SQL scripts
statement by statement, and writes every result set as a text table or as
INSERT, UPDATE, DELETE, REPLACE or loader text in the syntax of a chosen target
dialect. It comes as a desktop window (marlix), a headless runner (marlix-cli)
and an automation server on the session bus.")
# Qt as built against (6.4 and later keep its binary interface), its platform plugins (the window
# cannot open without them), and the unixODBC driver manager. The drivers are the user's choice.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6dbus6 (>= 6.4), qt6-qpa-plugins, libodbc2 (>= 2.3.1), libstdc++6 (>= 12), libgcc-s1, libc6 (>= 2.34)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql, odbc-mariadb, libsqliteodbc")
include(CPack)
