# The program's layers, from the bottom up:
#   ui (controls) <- services <- pages <- app <- program (the Windows entry point)
# and beside them the platform bindings, which stand on ui and services only.
#
# Every part of the program includes from src/ ("services/http/HttpClient.h"), so
# an editor finds each file where it is written. Which folder may include
# which is the table in cmake/LayerRules.cmake; cmake/CheckLayerRules.cmake
# reads it and every #include "..." in src/, and stops the build at a broken
# one, naming the file, the line and the rule. Every layer library depends
# on that check, so it runs before any of them compiles, with any generator
# and compiler.

set(KANVEL_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)

file(GLOB_RECURSE kanvel_checked_sources CONFIGURE_DEPENDS
     ${KANVEL_SOURCE_ROOT}/*.h ${KANVEL_SOURCE_ROOT}/*.cpp ${KANVEL_SOURCE_ROOT}/*.in)
set(kanvel_layer_stamp ${CMAKE_BINARY_DIR}/layer-rules.checked)
add_custom_command(
  OUTPUT ${kanvel_layer_stamp}
  COMMAND ${CMAKE_COMMAND} -DKANVEL_SOURCE_ROOT=${KANVEL_SOURCE_ROOT} -DKANVEL_LAYER_STAMP=${kanvel_layer_stamp}
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayerRules.cmake
  DEPENDS ${kanvel_checked_sources} ${PROJECT_SOURCE_DIR}/cmake/LayerRules.cmake
          ${PROJECT_SOURCE_DIR}/cmake/CheckLayerRules.cmake
  COMMENT "Checking the includes against the layer rule"
  VERBATIM)
add_custom_target(kanvel_layer_rules DEPENDS ${kanvel_layer_stamp})

# kanvel_layer(NAME SOURCES folder... [EXCEPT folder...] [LINKS target...])
# A static library kanvel_NAME of the .cpp files in the SOURCES folders and
# their subfolders (less those under EXCEPT, which another library builds),
# linked to LINKS, built after the layer check.
function(kanvel_layer name)
  cmake_parse_arguments(LAYER "" "" "SOURCES;EXCEPT;LINKS" ${ARGN})
  set(sources)
  foreach(folder IN LISTS LAYER_SOURCES)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${KANVEL_SOURCE_ROOT}/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  foreach(folder IN LISTS LAYER_EXCEPT)
    foreach(source IN LISTS sources)
      string(FIND "${source}" "${KANVEL_SOURCE_ROOT}/${folder}/" position)
      if(position EQUAL 0)
        list(REMOVE_ITEM sources "${source}")
      endif()
    endforeach()
  endforeach()
  add_library(kanvel_${name} STATIC ${sources})
  target_include_directories(kanvel_${name} PUBLIC ${KANVEL_SOURCE_ROOT})
  target_compile_features(kanvel_${name} PUBLIC cxx_std_20)
  add_dependencies(kanvel_${name} kanvel_layer_rules)
  if(LAYER_LINKS)
    target_link_libraries(kanvel_${name} PUBLIC ${LAYER_LINKS})
  endif()
endfunction()
