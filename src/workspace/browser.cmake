# The object browser and the metadata wizard's windows, part of marlix_workspace: the tree with its
# commands and images, the wizard, the key selection and the COLUMNS_UPDATED() mask dialogs.
target_sources(marlix_workspace PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BrowserCommandState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColumnsUpdatedDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeySelectionDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetadataWizardDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WizardCommands.cpp
)
qt_add_resources(marlix_workspace browser_icons PREFIX /browser BASE ${CMAKE_CURRENT_LIST_DIR}/browser-icons
  FILES
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/0-root.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/1-table.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/2-column.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/3-folder-open.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/4-folder.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/5-procedure.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/6-parameter.png
  ${CMAKE_CURRENT_LIST_DIR}/browser-icons/7-key-column.png)
