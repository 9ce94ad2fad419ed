# add_win32_program(<folder>): one of the two programs. Every source of the
# folder but winmain.cpp goes into <folder>_app, which the in-process Win32
# tests link as well; winmain.cpp and the program's resources (the
# <FOLDER>_RC variables set by resources/) make bin/<FOLDER>.EXE.
function(add_win32_program program)
  string(TOUPPER ${program} upper)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(REMOVE_ITEM sources ${dir}/winmain.cpp)
  add_library(${program}_app STATIC ${sources})
  target_link_libraries(${program}_app PUBLIC common_ui portable_core)

  add_executable(${program} WIN32 ${dir}/winmain.cpp
    ${CMAKE_SOURCE_DIR}/common/base/terminate_handler.cpp ${${upper}_RC})
  target_link_libraries(${program} PRIVATE ${program}_app)
  set_target_properties(${program} PROPERTIES OUTPUT_NAME ${upper} SUFFIX .EXE)
  add_dependencies(${program} ${program}_resources)
  target_include_directories(${program} PRIVATE "$<$<COMPILE_LANGUAGE:RC>:${${upper}_RC_INCLUDE}>")
  set_source_files_properties(${${upper}_RC} PROPERTIES OBJECT_DEPENDS "${${upper}_RC_DEPENDS}")
endfunction()
