# Assembles a form description from a main file whose lines "include 'file'" name files
# beside it; each such line is replaced by that file's text (nested includes allowed).
# Usage: cmake -DINPUT=<main file> -DOUTPUT=<assembled file> -P include-pages.cmake
if(NOT INPUT OR NOT OUTPUT)
  message(FATAL_ERROR "include-pages: INPUT and OUTPUT are required")
endif()

# Whole-file text handling: texts in descriptions may hold ';', which list commands split on.
function(expand_file path depth result)
  if(depth GREATER 8)
    message(FATAL_ERROR "include-pages: includes nested too deeply at ${path}")
  endif()
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "include-pages: ${path} not found")
  endif()
  get_filename_component(dir "${path}" DIRECTORY)
  file(READ "${path}" text)
  string(REGEX MATCHALL "(^|\n)[ \t]*include[ \t]+'[^'\n]+'[ \t]*(\r?\n|$)" found "${text}")
  math(EXPR next "${depth} + 1")
  foreach(line IN LISTS found)
    string(REGEX REPLACE "^\n?[ \t]*include[ \t]+'([^'\n]+)'.*$" "\\1" name "${line}")
    expand_file("${dir}/${name}" ${next} sub)
    string(REGEX REPLACE "^(\n?)[ \t]*include[ \t]+'[^'\n]+'[ \t]*(\r?\n?)$" "\\1" lead "${line}")
    string(REPLACE "${line}" "${lead}${sub}" text "${text}")
  endforeach()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

get_filename_component(input "${INPUT}" ABSOLUTE)
expand_file("${input}" 0 assembled)
file(WRITE "${OUTPUT}.tmp" "${assembled}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
