# The program's web and download server. What the program downloads from there it starts (the
# updater), so a build that users get reaches it over https only. Plain http is left to the test
# builds whose server is a loopback address on the test machine.
#
# In a project: include it and call brimlo_check_server(<server> <loopback test build>).
# As a script: cmake -DBRIMLO_SERVER=<server> [-DBRIMLO_LOOPBACK_TEST=ON] -P BrimloServer.cmake
function(brimlo_check_server server loopback_test)
  if(server MATCHES "^https://[^/]+")
    return()
  endif()
  if(loopback_test AND server MATCHES "^http://(127\\.0\\.0\\.1|localhost)(:[0-9]+)?/*$")
    return()
  endif()
  if(loopback_test)
    set(allowed "an https address or a loopback address (http://127.0.0.1:<port>)")
  else()
    set(allowed "an https address; plain http is only for the update test's loopback server")
  endif()
  message(FATAL_ERROR "BRIMLO_SERVER is '${server}': it must be ${allowed}.")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  brimlo_check_server("${BRIMLO_SERVER}" "${BRIMLO_LOOPBACK_TEST}")
endif()
