// Linked before the console's code for node (--pre-js). The runtime's
// access to the host's files takes every file as seekable: it reads a pipe
// at an offset, which the pipe refuses (ESPIPE), and lets a seek on it
// succeed. Here a file that is not a regular file is not seekable: reads
// go on where the input is, and a seek fails, as they do on Linux.
Module.preRun = (Module.preRun || []).concat(function () {
  var nodeFs = require("fs");
  var open = FS.open, llseek = FS.llseek;
  FS.open = function () {
    var stream = open.apply(this, arguments);
    if (stream.nfd !== undefined && !nodeFs.fstatSync(stream.nfd).isFile())
      stream.seekable = false;
    return stream;
  };
  FS.llseek = function (stream, offset, whence) {
    if (stream.nfd !== undefined && !stream.seekable)
      throw new FS.ErrnoError(ERRNO_CODES.ESPIPE);
    return llseek.apply(this, arguments);
  };
});
