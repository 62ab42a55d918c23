# SPDX-License-Identifier: GPL-3.0-or-later
# Every production source compiled for Windows with the MinGW-w64 cross compiler,
# syntax only, with the flags, definitions and include directories of this build (read
# from compile_commands.json): the Windows-only branches are compiled on every change.
# One test per source, so that ctest -j runs them side by side and names the one that
# breaks.
if(NOT TARNWEL_MINGW_CXX)
  message(WARNING "x86_64-w64-mingw32-g++-posix not found (g++-mingw-w64-x86-64-posix): "
                  "the Windows sources are not checked")
  return()
endif()

set(_windows_sources)
set(_product_targets)
foreach(dir IN LISTS TARNWEL_PRODUCT_DIRS)
  get_property(targets DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} PROPERTY BUILDSYSTEM_TARGETS)
  list(APPEND _product_targets ${targets})
endforeach()
foreach(target IN LISTS _product_targets)
  get_target_property(sources ${target} SOURCES)
  get_target_property(directory ${target} SOURCE_DIR)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.cpp$")
      continue()
    endif()
    if(NOT IS_ABSOLUTE "${source}")
      set(source "${directory}/${source}")
    endif()
    list(APPEND _windows_sources "${source}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES _windows_sources)

foreach(source IN LISTS _windows_sources)
  file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${source})
  add_test(NAME windows_syntax/${name}
           COMMAND ${CMAKE_COMMAND} -DCOMPILER=${TARNWEL_MINGW_CXX}
                   -DDATABASE=${CMAKE_BINARY_DIR}/compile_commands.json -DSOURCE=${source}
                   -P ${CMAKE_CURRENT_LIST_DIR}/WindowsSyntaxRun.cmake)
  set_tests_properties(windows_syntax/${name} PROPERTIES LABELS windows TIMEOUT 120)
endforeach()
