cmake_minimum_required(VERSION 3.25)
# Builds the Debian package into WORK with cpack and checks what it holds: the programs, the
# desktop entry, the icons, the bus service naming /usr/bin/marlix, the help pages, nothing
# else; and that it depends on Qt and unixODBC and recommends the ODBC drivers.
# Usage: cmake -DCPACK=... -DCONFIG=<build>/CPackConfig.cmake -DWORK=<folder> -DSOURCE=<project> -P CheckPackage.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${WORK}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()
file(GLOB packages ${WORK}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK}, found: ${packages}")
endif()

function(dpkg_deb out)
  execute_process(COMMAND dpkg-deb ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb ${ARGN} failed: ${error}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The file list: the last field of each line of `dpkg-deb -c`, folders left out.
dpkg_deb(listing -c ${packages})
string(REGEX REPLACE "[^\n]* \\./" "/" listing "${listing}")
string(REPLACE "\n" ";" listing "${listing}")
list(FILTER listing EXCLUDE REGEX "/$|^$")
set(expected
  /usr/bin/marlix
  /usr/bin/marlix-cli
  /usr/share/applications/org.marlix.Marlix.desktop
  /usr/share/dbus-1/services/org.marlix.Marlix.service
  /usr/share/doc/marlix/README.md
  /usr/share/icons/hicolor/128x128/apps/org.marlix.Marlix.png
  /usr/share/icons/hicolor/256x256/apps/org.marlix.Marlix.png
  /usr/share/icons/hicolor/48x48/apps/org.marlix.Marlix.png
  /usr/share/icons/hicolor/scalable/apps/org.marlix.Marlix.svg)
file(GLOB help RELATIVE ${SOURCE}/src/workspace/help/pages ${SOURCE}/src/workspace/help/pages/*)
foreach(page IN LISTS help)
  list(APPEND expected /usr/share/doc/marlix/html/${page})
endforeach()
list(SORT expected)
list(SORT listing)
if(NOT listing STREQUAL expected)
  string(REPLACE ";" "\n  " listing "${listing}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "the package holds\n  ${listing}\nbut should hold\n  ${expected}")
endif()

dpkg_deb(depends -f ${packages} Depends)
foreach(library libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 qt6-qpa-plugins libodbc2)
  if(NOT depends MATCHES "(^|, )${library}( |,|\n|$)")
    message(FATAL_ERROR "Depends does not name ${library}: ${depends}")
  endif()
endforeach()
dpkg_deb(recommends -f ${packages} Recommends)
string(STRIP "${recommends}" recommends)
if(NOT recommends STREQUAL "odbc-postgresql, odbc-mariadb, libsqliteodbc")
  message(FATAL_ERROR "Recommends: ${recommends}")
endif()

# The bus starts the installed program by its path inside the package.
dpkg_deb(ignored -x ${packages} ${WORK}/root)
file(READ ${WORK}/root/usr/share/dbus-1/services/org.marlix.Marlix.service service)
if(NOT service MATCHES "\nExec=/usr/bin/marlix --automation\n")
  message(FATAL_ERROR "the service file does not start /usr/bin/marlix:\n${service}")
endif()
file(STRINGS ${WORK}/root/usr/share/applications/org.marlix.Marlix.desktop entry)
foreach(line "Exec=marlix %f" "Categories=Development;Database;" "MimeType=application/sql;text/x-sql;")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
message(STATUS "package ${packages}: ${count} package, files and relations as expected")
