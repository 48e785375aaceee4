# One strict setting for every target of the project: the same warnings everywhere, turned into
# errors when PORTIVA_WERROR is on (the test command and CI switch it on), and a few Qt defines
# that close off error-prone implicit conversions without fighting the station's literal texts.
option(PORTIVA_WERROR "Treat compiler warnings as errors" OFF)

set(PORTIVA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow)
# QT_NO_CAST_FROM_ASCII is left out on purpose: the station's captions, messages and log lines
# are Spanish literals written as they are shown, and forcing every one through a conversion
# call would hide them. The ones below only forbid conversions the code never needs.
set(PORTIVA_QT_DEFINES
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH
    QT_NO_JAVA_STYLE_ITERATORS)

function(portiva_warnings target)
  get_target_property(tipo ${target} TYPE)
  if(tipo STREQUAL "INTERFACE_LIBRARY" OR tipo STREQUAL "UTILITY")
    return()
  endif()
  get_target_property(hecho ${target} PORTIVA_STRICT)
  if(hecho)
    return()
  endif()
  set_target_properties(${target} PROPERTIES PORTIVA_STRICT ON)
  target_compile_options(${target} PRIVATE ${PORTIVA_WARNINGS})
  if(PORTIVA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE ${PORTIVA_QT_DEFINES})
endfunction()

# Applies the setting to every target defined in `dir` and the folders below it, so a target
# whose build file forgets portiva_warnings() is held to the same rules.
function(portiva_strict_everywhere dir)
  get_property(objetivos DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(objetivo IN LISTS objetivos)
    get_target_property(importado ${objetivo} IMPORTED)
    if(NOT importado)
      portiva_warnings(${objetivo})
    endif()
  endforeach()
  get_property(subcarpetas DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subcarpetas)
    portiva_strict_everywhere(${sub})
  endforeach()
endfunction()

# Adds every folder directly under the current one that holds a CMakeLists.txt, so each area
# (a tool, a benchmark, a layer's tests) brings its own build file.
function(portiva_add_subdirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
