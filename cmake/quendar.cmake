# Helpers shared by the folders' CMakeLists.

# quendar_library(NAME [DEPS lib...])
# One static library from every .cpp below the calling folder. Sources are
# included from the repository root: #include "model/shape_drawing.h".
function(quendar_library name)
  cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A folder that has only headers so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${Q_DEPS})
  else()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${Q_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY QUENDAR_LIBRARIES ${name})
endfunction()

# Every library built so far, for test, benchmark and fuzz programs.
function(quendar_all_libraries out)
  get_property(libs GLOBAL PROPERTY QUENDAR_LIBRARIES)
  set(${out} ${libs} PARENT_SCOPE)
endfunction()
