# Makes a delay-load import library from a MinGW import library: the DLL is then loaded on the first
# call into it instead of at start-up.
# Usage: cmake -DNM=<nm> -DDLLTOOL=<dlltool> -DIMPORT_LIB=<libX.a> -DDLL=<x.dll> -DOUTPUT=<libX_delay.a>
#        -P delay-import.cmake
foreach(var NM DLLTOOL IMPORT_LIB DLL OUTPUT)
  if(NOT ${var})
    message(FATAL_ERROR "delay-import: ${var} is required")
  endif()
endforeach()
execute_process(COMMAND ${NM} ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "delay-import: ${NM} ${IMPORT_LIB} failed")
endif()
# The import library's code symbols are the DLL's exported functions.
string(REGEX MATCHALL "[0-9a-fA-F]+ T [A-Za-z_][A-Za-z0-9_@]*" entries "${symbols}")
set(exports "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^[0-9a-fA-F]+ T " "" name "${entry}")
  list(APPEND exports "${name}")
endforeach()
list(REMOVE_DUPLICATES exports)
list(JOIN exports "\n" lines)
get_filename_component(dir "${OUTPUT}" DIRECTORY)
set(def "${OUTPUT}.def")
file(WRITE "${def}" "LIBRARY ${DLL}\nEXPORTS\n${lines}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${def} --output-delaylib ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "delay-import: ${DLLTOOL} failed for ${DLL}")
endif()
