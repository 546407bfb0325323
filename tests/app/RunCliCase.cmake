# Runs one text case through marlix-cli on a new SQLite database and compares standard output,
# standard error, the exit status and any written file with the expected ones, byte for byte.
# -DCLI=<marlix-cli> -DCASE=<cases/name> -DWORK=<folder for the database and outputs>
cmake_minimum_required(VERSION 3.25)
get_filename_component(name "${CASE}" NAME)
file(MAKE_DIRECTORY "${WORK}")
set(db "${WORK}/${name}.sqlite")
file(REMOVE "${db}" "${WORK}/${name}.stdout" "${WORK}/${name}.stderr" "${WORK}/${name}.file")

# The connection string's semicolons are escaped so the list keeps it as one argument.
set(args --connect "Driver=SQLite3\;Database=${db}" --profile "${WORK}/${name}.ini")
if(EXISTS "${CASE}.args")
  file(STRINGS "${CASE}.args" extra)
  list(TRANSFORM extra REPLACE "@WORK@" "${WORK}")
  list(TRANSFORM extra REPLACE "@DB@" "${db}")
  if("--no-default-connection" IN_LIST extra)
    list(REMOVE_ITEM extra "--no-default-connection")
    set(args ${extra})
  else()
    list(APPEND args ${extra})
  endif()
endif()
file(REMOVE "${WORK}/${name}.ini")
if(EXISTS "${CASE}.ini")
  configure_file("${CASE}.ini" "${WORK}/${name}.ini" COPYONLY)
else()
  file(WRITE "${WORK}/${name}.ini" "") # an empty profile: every setting at its default
endif()

set(script "${CASE}.sql")
execute_process(COMMAND "${CLI}" ${args} "${script}"
  OUTPUT_FILE "${WORK}/${name}.stdout" ERROR_FILE "${WORK}/${name}.stderr"
  RESULT_VARIABLE status TIMEOUT 120)

# scripts/regen-cases.sh: what the runner wrote becomes the expected output, for review.
if(DEFINED ENV{MARLIX_REGEN_CASES})
  foreach(stream stdout stderr)
    configure_file("${WORK}/${name}.${stream}" "${CASE}.${stream}" COPYONLY)
  endforeach()
  if(EXISTS "${CASE}.file")
    configure_file("${WORK}/${name}.file" "${CASE}.file" COPYONLY)
  endif()
  if(status STREQUAL "0")
    file(REMOVE "${CASE}.status")
  else()
    file(WRITE "${CASE}.status" "${status}\n")
  endif()
  return()
endif()

set(expected_status 0)
if(EXISTS "${CASE}.status")
  file(READ "${CASE}.status" expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()

set(failed "")
if(NOT status STREQUAL expected_status)
  string(APPEND failed "exit status ${status}, expected ${expected_status}\n")
endif()
foreach(stream stdout stderr)
  set(expected "${CASE}.${stream}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}.${stream}" "${expected}"
    RESULT_VARIABLE differs)
  if(differs)
    file(READ "${WORK}/${name}.${stream}" got)
    string(APPEND failed "${stream} differs from ${expected}; got:\n${got}\n")
  endif()
endforeach()
if(EXISTS "${CASE}.file")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}.file" "${CASE}.file"
    RESULT_VARIABLE differs)
  if(differs)
    string(APPEND failed "the written file differs from ${CASE}.file\n")
  endif()
endif()
if(failed)
  message(FATAL_ERROR "${name}:\n${failed}")
endif()
