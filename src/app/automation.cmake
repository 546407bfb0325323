# Automation over the session bus, the switches RegServer and UnregServer, and the second start
# that hands its script to the running window.
add_library(marlix_automation STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AutomationPrompts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AutomationService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AutomationStartup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesktopRegistration.cpp
)
set_target_properties(marlix_automation PROPERTIES AUTOMOC ON)
target_include_directories(marlix_automation PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_automation PUBLIC marlix_cli_support marlix_workspace Qt6::DBus Qt6::Widgets)
# A user's registration writes the same desktop entry, service file and icons that
# `cmake --install` installs.
set(MARLIX_DESKTOP_FILES
  org.marlix.Marlix.desktop org.marlix.Marlix.service.in org.marlix.Marlix.svg
  org.marlix.Marlix-48.png org.marlix.Marlix-128.png org.marlix.Marlix-256.png)
list(TRANSFORM MARLIX_DESKTOP_FILES PREPEND ${PROJECT_SOURCE_DIR}/data/desktop/ OUTPUT_VARIABLE desktop_resources)
qt_add_resources(marlix_automation desktop PREFIX /desktop BASE ${PROJECT_SOURCE_DIR}/data/desktop
                 FILES ${desktop_resources})

target_link_libraries(marlix PRIVATE marlix_automation)
