# Windows looks for a statically imported DLL that is not one of its known
# DLLs beside the executable first, so a winhttp.dll lying in the Downloads
# folder would run inside the installer. kanvel_delay_loaded_imports links a
# target to such system DLLs through delay-load imports instead: each is
# loaded at its first call, after the entry point has restricted the search to
# System32 (SetDefaultDllDirectories).
#
# With mingw-w64 the delay-load import library is made once, when the build is
# configured, by dlltool from a definition file that lists the exports of the
# toolchain's own import library.
set(KANVEL_DELAY_LOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/MakeDelayImportLibrary.cmake)

function(kanvel_delay_import_library dll result)
  set(library ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
  find_library(KANVEL_IMPORT_LIBRARY_${dll} ${dll} REQUIRED)
  if(NOT EXISTS ${library} OR ${KANVEL_IMPORT_LIBRARY_${dll}} IS_NEWER_THAN ${library})
    execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
                            -DIMPORT_LIBRARY=${KANVEL_IMPORT_LIBRARY_${dll}} -DDLL=${dll}.dll -DOUTPUT=${library}
                            -P ${KANVEL_DELAY_LOAD_SCRIPT}
                    RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "No delay-load import library for ${dll}.dll")
    endif()
  endif()
  set(${result} ${library} PARENT_SCOPE)
endfunction()

function(kanvel_delay_loaded_imports target)
  foreach(dll IN LISTS ARGN)
    if(MSVC)
      target_link_libraries(${target} PUBLIC ${dll})
      target_link_options(${target} PUBLIC /DELAYLOAD:${dll}.dll)
    else()
      kanvel_delay_import_library(${dll} library)
      target_link_libraries(${target} PUBLIC ${library})
    endif()
  endforeach()
  if(MSVC)
    target_link_libraries(${target} PUBLIC delayimp)
  endif()
endfunction()
