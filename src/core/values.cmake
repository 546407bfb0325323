# Text forms of values (display and SQL literal), dates and times, and the per-dialect date
# settings they follow.
add_library(marlix_values STATIC
  DateTimeText.cpp
  DialectLiterals.cpp
  DialectSettings.cpp
  ExactLiteral.cpp
  UserLocale.cpp
  ValueText.cpp
)
target_include_directories(marlix_values PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_values PUBLIC marlix_core)
