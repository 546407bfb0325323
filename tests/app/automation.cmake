# Automation and desktop integration: RegServer and UnregServer in a temporary data home, the
# session bus interface under a private bus (dbus-run-session, from the dbus package), the second
# start, and the Debian package's file list.
marlix_add_qt_test(app_registration_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/DesktopRegistrationTest.cpp
                   LIBS marlix_automation)
target_compile_definitions(app_registration_tests PRIVATE MARLIX_PATH="$<TARGET_FILE:marlix>")
add_dependencies(app_registration_tests marlix)

add_executable(app_automation_tests ${CMAKE_CURRENT_LIST_DIR}/AutomationTest.cpp)
set_target_properties(app_automation_tests PROPERTIES AUTOMOC ON)
target_link_libraries(app_automation_tests PRIVATE marlix_automation marlix_test_support Qt6::DBus Qt6::Test)
target_compile_definitions(app_automation_tests PRIVATE MARLIX_PATH="$<TARGET_FILE:marlix>")
add_dependencies(app_automation_tests marlix)
# The bus reads its service folders from the environment it starts in: the test's own data home
# and settings, so that nothing of the user's is read or changed.
set(automation_home ${CMAKE_BINARY_DIR}/test-tmp/automation)
file(REMOVE_RECURSE ${automation_home})
file(MAKE_DIRECTORY ${automation_home}/data ${automation_home}/config)
set(automation_environment ${MARLIX_QT_TEST_ENVIRONMENT})
list(FILTER automation_environment EXCLUDE REGEX "^XDG_CONFIG_HOME=")
list(APPEND automation_environment "XDG_DATA_HOME=${automation_home}/data" "XDG_CONFIG_HOME=${automation_home}/config")
add_test(NAME app_automation_tests COMMAND dbus-run-session -- $<TARGET_FILE:app_automation_tests>)
set_tests_properties(app_automation_tests PROPERTIES ENVIRONMENT "${automation_environment}"
                     LABELS "gui;sqlite;dbus" TIMEOUT 300)

# cpack into a folder of its own, then the package's files and relations (dpkg-deb).
add_test(NAME app_package_contents
  COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DCONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
          -DWORK=${CMAKE_BINARY_DIR}/test-tmp/package -DSOURCE=${PROJECT_SOURCE_DIR}
          -P ${CMAKE_CURRENT_LIST_DIR}/CheckPackage.cmake)
set_tests_properties(app_package_contents PROPERTIES LABELS "package" TIMEOUT 300)
