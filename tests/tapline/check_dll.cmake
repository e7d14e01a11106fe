# The hook library exports exactly its functions, and none of its sections is writable and
# shared between the processes that load it (read from the section headers).
# Run with -DOBJDUMP=... -DDLL=...
execute_process(COMMAND ${OBJDUMP} -h ${DLL} OUTPUT_VARIABLE headers RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump -h failed on ${DLL}")
endif()
# Each section is a line of name and sizes followed by a line of its flags.
string(REGEX MATCHALL " *[0-9]+ [^ \n]+[^\n]*\n[^\n]*" sections "${headers}")
if(NOT sections)
  message(FATAL_ERROR "no section headers read from ${DLL}:\n${headers}")
endif()
foreach(section IN LISTS sections)
  if(section MATCHES "SHARED" AND NOT section MATCHES "READONLY")
    message(FATAL_ERROR "a writable section is shared between processes:\n${section}")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE privates RESULT_VARIABLE rc)
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t\\[ *[0-9]+\\] [^\n]+\n)*" table "${privates}")
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [A-Za-z_0-9@]+" names "${table}")
list(TRANSFORM names REPLACE "^\t\\[ *[0-9]+\\] " "")
list(SORT names)
set(expected ConvertKeyCode GetPostKeyEventHandle HookKeyboard HookMouse PostKeyMessages SetHookFilter UnhookKeyboard
    UnhookMouse)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports are '${names}', expected '${expected}'")
endif()
list(LENGTH sections count)
message(STATUS "exports as expected; ${count} sections, none shared and writable")
