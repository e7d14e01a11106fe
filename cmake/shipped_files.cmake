# The files that ship beside Kestrel4.exe besides the programs: the starter item libraries,
# the default user logo, a sample cursor/stamp set and a test pattern, drawn by
# scripts/make_starter_items.py whenever the script changes.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KESTREL_SHIPPED_FILES
  cursor/00.crs cursor/01.crs cursor/02.crs cursor/03.crs
  stamp/00.stp stamp/01.stp stamp/02.stp stamp/03.stp stamp/04.stp stamp/05.stp
  deflogo.lgo Sample.csp TestPattern.bmp)

# kestrel_shipped_files(TARGET FOLDER): draws them into FOLDER as part of the build.
function(kestrel_shipped_files target folder)
  set(outputs)
  foreach(file ${KESTREL_SHIPPED_FILES})
    list(APPEND outputs ${folder}/${file})
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/make_starter_items.py ${folder}
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make_starter_items.py ${CMAKE_SOURCE_DIR}/scripts/cursor_image.py
    COMMENT "Drawing the starter items, logo, set and test pattern")
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
