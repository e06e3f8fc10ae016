# GoogleTest for the Windows builds, compiled from its sources with the program's compiler (a
# Windows test program cannot link the host's libgtest). Debian's googletest package puts the
# sources in /usr/src/googletest; elsewhere pass -DBRIMLO_GTEST_SOURCE=<dir of a checkout>.
set(BRIMLO_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for the Windows tests")

# brimlo_use_googletest(<result variable>): adds the gtest targets once; the variable is TRUE
# when they exist, FALSE (with a message) when the sources are missing and the tests are left out.
function(brimlo_use_googletest result)
  if(TARGET gtest)
    set(${result} TRUE PARENT_SCOPE)
    return()
  endif()
  if(NOT EXISTS "${BRIMLO_GTEST_SOURCE}/CMakeLists.txt")
    message(STATUS "No GoogleTest sources at '${BRIMLO_GTEST_SOURCE}': the Windows tests are left out")
    set(${result} FALSE PARENT_SCOPE)
    return()
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${BRIMLO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources are not held to the project's warning rules.
  foreach(target gtest gtest_main gmock gmock_main)
    if(TARGET ${target})
      target_compile_options(${target} PRIVATE $<IF:$<CXX_COMPILER_ID:MSVC>,/w,-w>)
    endif()
  endforeach()
  set(${result} TRUE PARENT_SCOPE)
endfunction()
