# Writes the page's worker script: the analysis module, web/tonalyx-api.js
# and web/worker.js as the body of one function, tonalyxWorker. The page starts a worker from
# that function's source text (a blob URL), the one way a page opened from
# file:// may start a worker, since it may not load a worker script by URL.
#   cmake -DMODULE=... -DAPI=... -DWORKER=... -DOUT=... -P web-worker-script.cmake
file(READ ${MODULE} module)
file(READ ${API} api)
file(READ ${WORKER} worker)
file(WRITE ${OUT}.part "// Generated at build: the analysis module and the page's worker.\n"
  "function tonalyxWorker() {\n${module}\n${api}\n${worker}\n}\n")
file(RENAME ${OUT}.part ${OUT})
