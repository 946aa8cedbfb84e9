# The WebAssembly build (emscripten): the console tool runs under node with
# the host's files, and the web page's module.

# The linker's JavaScript optimizer loads acorn, which Debian keeps apart
# from node's own modules.
set(TONALYX_NODE_PATH "/usr/share/nodejs")
if(DEFINED ENV{NODE_PATH})
  string(APPEND TONALYX_NODE_PATH ":$ENV{NODE_PATH}")
endif()
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${TONALYX_NODE_PATH})

# The console tool: the host's file system (NODERAWFS) with pipes read as
# pipes, the exit status passed on to node, the wasm inside the .js file,
# so that node loads it without fetch(), and memory that grows to what a
# measurement holds (256 MiB at most).
function(tonalyx_wasm_console target)
  set(pipes ${PROJECT_SOURCE_DIR}/cmake/wasm-node-pipes.js)
  target_link_options(${target} PRIVATE
    -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sSINGLE_FILE=1 -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1
    "SHELL:--pre-js ${pipes}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${pipes})
endfunction()

# The web page: its files copied into <build>/web, and the analysis module
# (tonalyx-module.js, the wasm inside) exporting every function of the C
# interface, which the page calls. `library` holds the C interface.
function(tonalyx_web_page library)
  set(web ${CMAKE_BINARY_DIR}/web)
  file(READ ${PROJECT_SOURCE_DIR}/include/tonalyx/tonalyx.h header)
  # A function added to the header is exported at the next build.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/tonalyx/tonalyx.h)
  string(REGEX MATCHALL "TONALYX_API[^;(]*[ *](tonalyx_[a-z_]+)\\(" declarations "${header}")
  set(exported _malloc _free)
  foreach(declaration ${declarations})
    string(REGEX REPLACE ".*[ *](tonalyx_[a-z_]+)\\($" "_\\1" name "${declaration}")
    list(APPEND exported ${name})
  endforeach()
  list(JOIN exported "," exported)

  # An executable needs a source; everything it holds comes from the library.
  set(stub ${CMAKE_BINARY_DIR}/web-module.cpp)
  file(WRITE ${stub} "// The web page's module: the C interface of the library, nothing else.\n")
  add_executable(tonalyx_web ${stub})
  target_link_libraries(tonalyx_web PRIVATE ${library})
  set_target_properties(tonalyx_web PROPERTIES OUTPUT_NAME tonalyx-module RUNTIME_OUTPUT_DIRECTORY ${web})
  target_link_options(tonalyx_web PRIVATE
    --no-entry -sMODULARIZE=1 -sEXPORT_NAME=createTonalyx -sSINGLE_FILE=1 -sENVIRONMENT=web
    -sALLOW_MEMORY_GROWTH=1 -sFILESYSTEM=0
    "-sEXPORTED_FUNCTIONS=${exported}"
    "-sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8")

  set(copied)
  foreach(page index.html style.css tonalyx-api.js plot.js app.js)
    add_custom_command(OUTPUT ${web}/${page}
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/${page} ${web}/${page}
      DEPENDS ${PROJECT_SOURCE_DIR}/web/${page})
    list(APPEND copied ${web}/${page})
  endforeach()
  add_custom_target(tonalyx_web_files ALL DEPENDS ${copied})
endfunction()
