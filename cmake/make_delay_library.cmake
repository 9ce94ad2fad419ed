# cmake -DNM=... -DDLLTOOL=... -DIMPORT=libX.a -DOUT=libX.a -P make_delay_library.cmake
# Makes a delay-load import library with the functions of the toolchain's
# import library IMPORT: its import thunks (nm's "T" symbols; data exports
# have none and are left out) make the .def file that dlltool turns into a
# library whose DLL is loaded by the first call into it. On 32-bit x86 the
# thunks carry the leading underscore and stdcall's @N, which the DLL's own
# export names do not (dlltool --kill-at).
execute_process(COMMAND ${DLLTOOL} --identify ${IMPORT}
  OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed OR dll STREQUAL "")
  message(FATAL_ERROR "${IMPORT}: no DLL name")
endif()
string(REGEX REPLACE "\n.*" "" dll "${dll}")
execute_process(COMMAND ${NM} ${IMPORT} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${IMPORT}: nm failed")
endif()
string(REGEX MATCHALL " T [^\n]+" thunks "${symbols}")
list(REMOVE_DUPLICATES thunks)
set(def "LIBRARY \"${dll}\"\nEXPORTS\n")
set(count 0)
foreach(thunk ${thunks})
  string(REGEX REPLACE "^ T " "" name "${thunk}")
  if(UNDERSCORED)
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  string(APPEND def "${name}\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${IMPORT}: no functions")
endif()
file(WRITE ${OUT}.def "${def}")
execute_process(COMMAND ${DLLTOOL} --kill-at --input-def ${OUT}.def --output-delaylib ${OUT}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dlltool failed on ${OUT}.def")
endif()
