# The program's layers, from the bottom up:
#   ui (controls) <- services <- pages <- app <- program (the Windows entry point)
# and beside them the platform bindings, which stand on ui and services only.
#
# Each part of the program sees only the source folders it may use: it gets
# an include root of its own in the build tree that holds links to exactly
# those folders. An #include of a layer above (a page including the app, a
# service including a page) names a file that is not there, and the build
# stops at that line.
#
# kanvel_include_root(NAME FOLDER...) makes ${CMAKE_BINARY_DIR}/layers/NAME
# with one link per source folder (relative to src/, "platform/win32" too)
# and sets KANVEL_ROOT_<NAME> to it. Where the file system cannot make links
# (Windows without the right to), the root is src/ itself: that build
# compiles all the same, and the Linux build keeps the layers honest.

set(KANVEL_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)

function(kanvel_include_root name)
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${root})
  foreach(folder IN LISTS ARGN)
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${KANVEL_SOURCE_ROOT}/${folder} ${root}/${folder} RESULT linked SYMBOLIC)
    if(NOT linked EQUAL 0)
      message(STATUS "No links in the build tree (${linked}): layers not enforced by includes")
      set(root ${KANVEL_SOURCE_ROOT})
      break()
    endif()
  endforeach()
  set(KANVEL_ROOT_${name} ${root} PARENT_SCOPE)
endfunction()

# kanvel_layer(NAME SOURCES folder... SEES folder... [LINKS target...])
# A static library kanvel_NAME of the .cpp files in the SOURCES folders,
# whose include root holds the folders it SEES (its own among them), linked
# to LINKS.
function(kanvel_layer name)
  cmake_parse_arguments(LAYER "" "" "SOURCES;SEES;LINKS" ${ARGN})
  set(sources)
  foreach(folder IN LISTS LAYER_SOURCES)
    file(GLOB found CONFIGURE_DEPENDS ${KANVEL_SOURCE_ROOT}/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  kanvel_include_root(${name} ${LAYER_SEES})
  add_library(kanvel_${name} STATIC ${sources})
  target_include_directories(kanvel_${name} PUBLIC ${KANVEL_ROOT_${name}})
  target_compile_features(kanvel_${name} PUBLIC cxx_std_20)
  if(LAYER_LINKS)
    target_link_libraries(kanvel_${name} PUBLIC ${LAYER_LINKS})
  endif()
endfunction()
