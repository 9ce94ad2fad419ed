# delay_load(<target> <library>...): <target> loads these system DLLs at the
# first call into one of their functions rather than at start. Each -l<library>
# of the target's link, its own or a dependency's, finds the delay-load
# import library made here first (-L), so nothing else changes. A program run
# for a command-line job that draws nothing then starts without the window
# system and the shell, which under Wine is most of a start's time.
function(delay_load target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_delay)
  set(underscored OFF)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(underscored ON)
  endif()
  set(made)
  foreach(name ${ARGN})
    find_library(import_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
    add_custom_command(OUTPUT ${dir}/lib${name}.a
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DIMPORT=${import_${name}}
              -DOUT=${dir}/lib${name}.a -DUNDERSCORED=${underscored} -P ${CMAKE_SOURCE_DIR}/cmake/make_delay_library.cmake
      DEPENDS ${import_${name}} ${CMAKE_SOURCE_DIR}/cmake/make_delay_library.cmake
      COMMENT "delay-load import library for ${name}")
    list(APPEND made ${dir}/lib${name}.a)
  endforeach()
  add_custom_target(${target}_delay_libraries DEPENDS ${made})
  add_dependencies(${target} ${target}_delay_libraries)
  target_link_options(${target} PRIVATE -L${dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${made})
endfunction()
