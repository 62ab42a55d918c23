# SPDX-License-Identifier: GPL-3.0-or-later
# tarnwel_add_test(<name> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <seconds>])
# Builds one QtTest suite and registers it with CTest, headless and with a time limit.
function(tarnwel_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tarnwel_testsupport Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()
