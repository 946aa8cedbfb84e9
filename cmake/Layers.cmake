# The library's layers: one folder of src/ each, built as one target each.
# A target sees the public headers, its own folder and the folders of the
# layers it uses, and nothing else: the include root of a folder is a
# folder of the build's layer-roots/ holding a link to it alone, so that an
# include of a folder above it, or beside it, does not compile. The rule is
# drawn in the README's "Architecture"; tests/library/check_layers.cmake
# holds every source to it as well (where links cannot be made, as on
# Windows without the right to, the roots fall back to all of src/).

set(TONALYX_LAYER_ROOTS ${PROJECT_BINARY_DIR}/layer-roots)
# What each folder may include, for the check: "folder: used folders".
set(TONALYX_LAYER_TABLE ${PROJECT_BINARY_DIR}/layers.txt)
file(WRITE ${TONALYX_LAYER_TABLE} "")

# The include root that shows src/FOLDER alone, in TONALYX_ROOT_FOLDER.
function(tonalyx_layer_root folder)
  set(root ${TONALYX_LAYER_ROOTS}/${folder})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} RESULT failed SYMBOLIC)
    if(failed)
      set(root ${PROJECT_SOURCE_DIR}/src)
    endif()
  endif()
  set(TONALYX_ROOT_${folder} ${root} PARENT_SCOPE)
endfunction()

# tonalyx_layer(FOLDER SOURCES ... USES LAYER ...): the objects of
# src/FOLDER as tonalyx_layer_FOLDER (an interface target for a folder of
# headers alone), which sees the layers it uses and, through them, theirs.
function(tonalyx_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;USES")
  tonalyx_layer_root(${folder})
  set(target tonalyx_layer_${folder})
  set(roots ${TONALYX_ROOT_${folder}} ${PROJECT_SOURCE_DIR}/include ${PROJECT_BINARY_DIR}/include)
  if(arg_SOURCES)
    add_library(${target} OBJECT ${arg_SOURCES})
    set_target_properties(${target} PROPERTIES
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${target} PUBLIC ${roots})
    target_compile_definitions(${target} PRIVATE TONALYX_BUILDING)
    target_link_libraries(${target} PRIVATE tonalyx_warnings)
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${roots})
    set(scope INTERFACE)
  endif()
  foreach(used ${arg_USES})
    target_link_libraries(${target} ${scope} tonalyx_layer_${used})
  endforeach()
  file(APPEND ${TONALYX_LAYER_TABLE} "${folder}: ${arg_USES}\n")
endfunction()

# tonalyx_layer_objects(OUT LAYER ...): the objects of the layers named.
function(tonalyx_layer_objects out)
  set(objects)
  foreach(layer ${ARGN})
    get_target_property(type tonalyx_layer_${layer} TYPE)
    if(type STREQUAL "OBJECT_LIBRARY")
      list(APPEND objects $<TARGET_OBJECTS:tonalyx_layer_${layer}>)
    endif()
  endforeach()
  set(${out} ${objects} PARENT_SCOPE)
endfunction()

# tonalyx_sees_layers(TARGET LAYER ...): TARGET and its users read the
# headers of the layers named (and of theirs), not their objects: those
# come with the library it links.
function(tonalyx_sees_layers target)
  foreach(used ${ARGN})
    target_include_directories(${target} PUBLIC $<TARGET_PROPERTY:tonalyx_layer_${used},INTERFACE_INCLUDE_DIRECTORIES>)
  endforeach()
endfunction()

# tonalyx_program_folder(TARGET FOLDER USES LAYER ...): a program's own
# folder of src/ (the console tools) and the layers it reads headers of,
# seen by TARGET (the program's code but its main) and its users, the
# program and its tests.
function(tonalyx_program_folder target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "USES")
  tonalyx_layer_root(${folder})
  target_include_directories(${target} PUBLIC ${TONALYX_ROOT_${folder}})
  tonalyx_sees_layers(${target} ${arg_USES})
  file(APPEND ${TONALYX_LAYER_TABLE} "${folder}: ${arg_USES}\n")
endfunction()
