# Test commands for Windows programs under Wine. Every such test needs the `wine` fixture (the
# shared X server, prefix and clipboard keeper) and holds the `wine_display` lock: the tests share
# one screen and one clipboard, so they run one at a time.

# brimlo_wine_test(NAME <name> COMMAND <target-or-program> [args...]): runs a Windows program
# through wine-run (on Windows itself, directly) with a limit of 120 s; CTest's own is a little
# longer, so wine-run ends a stuck program first and keeps a screenshot of it.
function(brimlo_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME" "COMMAND")
  get_property(wine_run GLOBAL PROPERTY BRIMLO_WINE_RUN)
  list(POP_FRONT arg_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${wine_run} ${program} ${arg_COMMAND})
  if(NOT wine_run)
    set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT 120 RESOURCE_LOCK wine_display)
    return()
  endif()
  _brimlo_wine_properties(${arg_NAME} 120 wine-unit)
endfunction()

# brimlo_e2e_test(NAME <name> SCRIPT <file.sh> [TIMEOUT <seconds>] [LABELS <label>...]
#                 [EXE <program target>])
# Runs a bash script that drives brimlo.exe (see tests/e2e/lib.sh; not on Windows itself) under
# the fixture; TIMEOUT (default 300 s) is the script's whole time. Its environment: BRIMLO_SESSION
# (the session file), BRIMLO_EXE (brimlo.exe or the EXE target's program), BRIMLO_TOOL
# (brimlo-tool.exe), BRIMLO_ARTIFACTS (screenshots), BRIMLO_WORK (its scratch directory).
function(brimlo_e2e_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;SCRIPT;TIMEOUT;EXE" "LABELS")
  get_property(wine_run GLOBAL PROPERTY BRIMLO_WINE_RUN)
  if(NOT wine_run)
    return()
  endif()
  if(NOT arg_EXE)
    set(arg_EXE brimlo)
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  get_property(session GLOBAL PROPERTY BRIMLO_HARNESS_SESSION)
  get_property(artifacts GLOBAL PROPERTY BRIMLO_ARTIFACTS_DIR)
  get_property(tool GLOBAL PROPERTY BRIMLO_TOOL)
  get_filename_component(script ${arg_SCRIPT} ABSOLUTE)
  add_test(NAME ${arg_NAME} COMMAND bash ${script})
  _brimlo_wine_properties(${arg_NAME} ${arg_TIMEOUT} "e2e;${arg_LABELS}")
  set_property(TEST ${arg_NAME} APPEND PROPERTY ENVIRONMENT
    "BRIMLO_SESSION=${session}"
    "BRIMLO_TOOL=${tool}"
    "BRIMLO_ARTIFACTS=${artifacts}"
    "BRIMLO_WORK=${CMAKE_CURRENT_BINARY_DIR}/work/${arg_NAME}"
    "BRIMLO_EXE=$<TARGET_FILE:${arg_EXE}>")
endfunction()

function(_brimlo_wine_properties name timeout labels)
  math(EXPR ctest_timeout "${timeout} + 30")
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_display
    TIMEOUT ${ctest_timeout})
  list(REMOVE_ITEM labels "")
  set_property(TEST ${name} APPEND PROPERTY LABELS ${labels})
endfunction()
