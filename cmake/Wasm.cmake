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

# The web page: its files copied into <build>/web, and the worker script
# (tonalyx-worker.js) holding the analysis module (the wasm inside), which
# exports every function of the C interface, and the page's calls of it.
# `library` holds the C interface.
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

  # The library's C interface and the page's own function (page_module.cpp).
  # The module runs in a worker (web/worker.js), where the read callback of
  # the measurement may wait for the file's slices (FileReaderSync); it
  # takes JavaScript functions as function pointers (addFunction, with i64
  # as BigInt), and _abort serves the page's test hook.
  add_executable(tonalyx_web ${PROJECT_SOURCE_DIR}/web/page_module.cpp)
  tonalyx_sees_layers(tonalyx_web common)
  target_link_libraries(tonalyx_web PRIVATE ${library})
  set_target_properties(tonalyx_web PROPERTIES OUTPUT_NAME tonalyx-module RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/web-module)
  target_link_options(tonalyx_web PRIVATE
    --no-entry -sMODULARIZE=1 -sEXPORT_NAME=createTonalyx -sSINGLE_FILE=1 -sENVIRONMENT=worker
    -sALLOW_MEMORY_GROWTH=1 -sFILESYSTEM=0 -sALLOW_TABLE_GROWTH=1 -sWASM_BIGINT=1
    "-sEXPORTED_FUNCTIONS=${exported},_tonalyx_page_exit_status,_abort"
    "-sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8,addFunction")

  set(script ${PROJECT_SOURCE_DIR}/cmake/web-worker-script.cmake)
  add_custom_command(OUTPUT ${web}/tonalyx-worker.js
    COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:tonalyx_web> -DAPI=${PROJECT_SOURCE_DIR}/web/tonalyx-api.js
      -DWORKER=${PROJECT_SOURCE_DIR}/web/worker.js -DOUT=${web}/tonalyx-worker.js -P ${script}
    DEPENDS tonalyx_web ${PROJECT_SOURCE_DIR}/web/tonalyx-api.js ${PROJECT_SOURCE_DIR}/web/worker.js ${script})
  set(copied ${web}/tonalyx-worker.js)
  foreach(page index.html style.css plot.js pictures.js results-table.js app.js)
    add_custom_command(OUTPUT ${web}/${page}
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/${page} ${web}/${page}
      DEPENDS ${PROJECT_SOURCE_DIR}/web/${page})
    list(APPEND copied ${web}/${page})
  endforeach()
  add_custom_target(tonalyx_web_files ALL DEPENDS ${copied})
endfunction()
