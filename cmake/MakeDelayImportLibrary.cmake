# cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIBRARY=... -DDLL=... -DOUTPUT=... -P MakeDelayImportLibrary.cmake
# Writes a delay-load import library for DLL that offers every function the
# toolchain's import library IMPORT_LIBRARY offers.
execute_process(COMMAND ${NM} ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "${NM} could not list ${IMPORT_LIBRARY}")
endif()
string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@]+" imports "${symbols}")
list(TRANSFORM imports REPLACE " I __imp_" "")
list(REMOVE_DUPLICATES imports)
list(SORT imports)
if(NOT imports)
  message(FATAL_ERROR "${IMPORT_LIBRARY} names no functions")
endif()
list(JOIN imports "\n" exports)
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(WRITE ${OUTPUT}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUTPUT}.def --dllname ${DLL} --output-delaylib ${OUTPUT}
                RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not make ${OUTPUT}")
endif()
