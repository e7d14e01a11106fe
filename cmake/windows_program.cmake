# Windows conventions of every program and library of this tree: a version resource with
# the project's version, and for programs the application manifest (common controls 6,
# per-monitor DPI awareness, asInvoker) and the safe DLL search order from the start.
set(KESTREL_WINDOWS_DIR ${CMAKE_CURRENT_LIST_DIR}/windows)
add_library(kestrel_safe_dll_search OBJECT ${KESTREL_WINDOWS_DIR}/safe_dll_search.cpp)

# kestrel_windows_conventions(TARGET "File description")
function(kestrel_windows_conventions target description)
  get_target_property(type ${target} TYPE)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  set(KESTREL_INTERNAL_NAME ${output_name})
  set(KESTREL_FILE_DESCRIPTION "${description}")
  set(KESTREL_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(KESTREL_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/${target}_windows)
  if(type STREQUAL "EXECUTABLE")
    set(KESTREL_FILE_NAME ${output_name}.exe)
    set(KESTREL_FILE_TYPE VFT_APP)
    set(KESTREL_MANIFEST_NAME ${output_name})
    configure_file(${KESTREL_WINDOWS_DIR}/kestrel.manifest ${gen}.manifest @ONLY)
    # Resource 1 of type 24: the manifest the loader reads when the process starts.
    set(KESTREL_MANIFEST_LINE "1 24 \"${gen}.manifest\"")
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:kestrel_safe_dll_search>)
  else()
    set(KESTREL_FILE_NAME ${output_name}.dll)
    set(KESTREL_FILE_TYPE VFT_DLL)
    set(KESTREL_MANIFEST_LINE "")
  endif()
  configure_file(${KESTREL_WINDOWS_DIR}/version.rc.in ${gen}_version.rc @ONLY)
  if(type STREQUAL "EXECUTABLE")
    set_source_files_properties(${gen}_version.rc PROPERTIES OBJECT_DEPENDS "${gen}.manifest")
  endif()
  target_sources(${target} PRIVATE ${gen}_version.rc)
endfunction()

# Every program target declared in DIRECTORY and below (test programs included).
function(kestrel_windows_conventions_in directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      kestrel_windows_conventions(${target} "Kestrel test program ${target}")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    kestrel_windows_conventions_in(${subdir})
  endforeach()
endfunction()

# A program's manual: the page and the pictures beside it are copied into the program's folder
# whenever they change, not only when the program is linked again (Help opens it from there).
function(kestrel_manual target folder page)
  file(GLOB pictures CONFIGURE_DEPENDS ${folder}/*.png)
  set(copy ${CMAKE_BINARY_DIR}/bin/${page})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy ${folder}/${page} ${pictures} ${CMAKE_BINARY_DIR}/bin
    DEPENDS ${folder}/${page} ${pictures})
  add_custom_target(${target}_manual DEPENDS ${copy})
  add_dependencies(${target} ${target}_manual)
endfunction()
