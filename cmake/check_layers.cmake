# Fails when a file includes across the layers the wrong way: common/base
# includes nothing of common/bitmap or common/ui, common/bitmap nothing of
# common/ui, common/ nothing of a program, and no file under a core/ folder
# includes <windows.h>. Run as cmake -DROOT=<source dir> -P check_layers.cmake.
set(rules
  "common/base@common/(bitmap|ui)/@a higher layer of common/"
  "common/bitmap@common/ui/@common/ui"
  "common@(kestro98|mirtav00)/@a program"
)
set(problems "")
foreach(rule ${rules})
  string(REPLACE "@" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(GET parts 1 pattern)
  list(GET parts 2 what)
  file(GLOB_RECURSE files ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(f ${files})
    file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*\"${pattern}")
    if(hits)
      string(APPEND problems "${f} includes ${what}: ${hits}\n")
    endif()
  endforeach()
endforeach()
file(GLOB_RECURSE core_files ${ROOT}/common/*/core/*.h ${ROOT}/common/*/core/*.cpp
     ${ROOT}/kestro98/core/*.h ${ROOT}/kestro98/core/*.cpp
     ${ROOT}/mirtav00/core/*.h ${ROOT}/mirtav00/core/*.cpp)
foreach(f ${core_files})
  file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*<windows.h>")
  if(hits)
    string(APPEND problems "${f} is portable but includes <windows.h>\n")
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "Includes across the layers the wrong way:\n${problems}")
endif()
