cmake_minimum_required(VERSION 3.25)
# Which download servers a build accepts at configure time: https always, plain http only as a
# loopback address of a loopback test build.
set(check ${CMAKE_CURRENT_LIST_DIR}/../../cmake/BrimloServer.cmake)
# server | loopback test build | accepted
set(cases
  "https://brimlo.example|OFF|1"
  "https://brimlo.example/|ON|1"
  "http://brimlo.example|OFF|0"
  "http://127.0.0.1:47613|OFF|0"
  "http://127.0.0.1:47613|ON|1"
  "http://localhost:8000/|ON|1"
  "http://brimlo.example|ON|0"
  "http://127.0.0.1.evil.example|ON|0"
  "ftp://brimlo.example|OFF|0"
  "brimlo.example|OFF|0"
  "https://|OFF|0"
  "|OFF|0")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 server)
  list(GET fields 1 loopback)
  list(GET fields 2 accepted)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DBRIMLO_SERVER=${server} -DBRIMLO_LOOPBACK_TEST=${loopback} -P ${check}
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if((status EQUAL 0 AND NOT accepted) OR (NOT status EQUAL 0 AND accepted))
    # Each case is reported; any one makes the script end with a failure status.
    message(SEND_ERROR "server '${server}' (loopback test build ${loopback}): status ${status}, expected acceptance ${accepted}")
  endif()
endforeach()
