# The WebAssembly build (emscripten): the console tool runs under node with
# the host's files, and the web page's module.

# The linker's JavaScript optimizer loads acorn, which Debian keeps apart
# from node's own modules.
set(TONALYX_NODE_PATH "/usr/share/nodejs")
if(DEFINED ENV{NODE_PATH})
  string(APPEND TONALYX_NODE_PATH ":$ENV{NODE_PATH}")
endif()
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${TONALYX_NODE_PATH})

# The console tool: the host's file system (NODERAWFS), the exit status
# passed on to node, and the wasm inside the .js file, so that node loads it
# without fetch().
function(tonalyx_wasm_console target)
  target_link_options(${target} PRIVATE
    -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sSINGLE_FILE=1 -sENVIRONMENT=node)
endfunction()
