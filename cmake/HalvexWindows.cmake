# Helpers for the Windows programs.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

# halvex_windows_art(<name> PNGS <png...> BITMAPS <png...> ICONS <png...>)
# A target <name> that puts the PNG art of this directory where a resource
# script names it by its bare file name: PNGS as they are (the window layer
# decodes them), BITMAPS converted to 24-bit bitmaps, ICONS to icons.
function(halvex_windows_art name)
  cmake_parse_arguments(ARG "" "" "PNGS;BITMAPS;ICONS" ${ARGN})
  set(art_dir ${CMAKE_CURRENT_BINARY_DIR}/windows-art)
  set(outputs "")
  foreach(png ${ARG_PNGS})
    get_filename_component(file ${png} NAME)
    set(output ${art_dir}/${file})
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/${png} ${output}
      DEPENDS ${png}
      VERBATIM)
    list(APPEND outputs ${output})
  endforeach()
  foreach(kind bmp ico)
    if(kind STREQUAL bmp)
      set(sources ${ARG_BITMAPS})
    else()
      set(sources ${ARG_ICONS})
    endif()
    foreach(png ${sources})
      get_filename_component(base ${png} NAME_WE)
      set(output ${art_dir}/${base}.${kind})
      add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${art_dir}
        COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/png-to-windows.py ${kind}
                ${CMAKE_CURRENT_SOURCE_DIR}/${png} ${output}
        DEPENDS ${png} ${PROJECT_SOURCE_DIR}/scripts/png-to-windows.py
        VERBATIM)
      list(APPEND outputs ${output})
    endforeach()
  endforeach()
  add_custom_target(${name} DEPENDS ${outputs})
  set_target_properties(${name} PROPERTIES HALVEX_ART_DIR ${art_dir} HALVEX_ART_FILES "${outputs}")
endfunction()

# halvex_windows_resources(<target> <file.rc> <art target>)
# Compiles the resource script into <target>. Each program carries its own:
# resources in a static library would be dropped by the linker.
function(halvex_windows_resources target rc art)
  get_target_property(art_dir ${art} HALVEX_ART_DIR)
  get_target_property(art_files ${art} HALVEX_ART_FILES)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${art_files})
  target_include_directories(${target} PRIVATE ${art_dir})
  add_dependencies(${target} ${art})
endfunction()

# halvex_windows_program(<target>): a window program, stripped.
function(halvex_windows_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/ui/win32_terminate.cpp)
  target_link_options(${target} PRIVATE -s)
endfunction()
