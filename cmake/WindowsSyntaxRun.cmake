# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DCOMPILER=<mingw g++> -DDATABASE=<compile_commands.json> -DSOURCE=<file> -P this
# Compiles SOURCE for Windows, syntax only, with the command this build compiles it with.
file(READ "${DATABASE}" database)
string(JSON count LENGTH "${database}")
math(EXPR last "${count} - 1")
set(command)
foreach(i RANGE ${last})
  string(JSON file GET "${database}" ${i} file)
  if(file STREQUAL SOURCE)
    string(JSON command GET "${database}" ${i} command)
    string(JSON directory GET "${database}" ${i} directory)
    break()
  endif()
endforeach()
if(NOT command)
  message(FATAL_ERROR "${SOURCE} is not in ${DATABASE}")
endif()

separate_arguments(arguments UNIX_COMMAND "${command}")
list(POP_FRONT arguments) # the host compiler
set(flags)
set(skip_next FALSE)
foreach(argument IN LISTS arguments)
  if(skip_next)
    set(skip_next FALSE)
  elseif(argument MATCHES "^-(o|MF|MT|MQ)$")
    set(skip_next TRUE) # output and dependency files
  elseif(argument MATCHES "^-(c|MD|MMD|fPIC|fPIE|fdiagnostics-color.*)$")
  else()
    list(APPEND flags "${argument}")
  endif()
endforeach()

execute_process(COMMAND "${COMPILER}" -fsyntax-only -std=c++20 ${flags}
                WORKING_DIRECTORY "${directory}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${SOURCE} does not compile for Windows")
endif()
