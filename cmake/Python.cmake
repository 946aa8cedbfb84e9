# The Python module `tonalyx`: a package folder python/tonalyx (the public
# functions, in Python) around the extension _native (pybind11), which
# links the library statically. In the build folder the package stands in
# python/, so PYTHONPATH=BUILD/python imports it.
#
# Built against /usr/bin/python3 when it exists and no Python3_EXECUTABLE is
# given: the distribution's interpreter is the one with pybind11 and numpy,
# not whatever python3 comes first on the PATH.
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The Python the module is built for")
endif()

# Cross, sanitizer and fuzz builds leave the module out: their library
# cannot be loaded into the build machine's plain interpreter.
set(TONALYX_PYTHON_DEFAULT OFF)
if(NOT CMAKE_CROSSCOMPILING AND NOT TONALYX_SANITIZE AND NOT TONALYX_FUZZ AND NOT TONALYX_TSAN)
  find_package(Python3 COMPONENTS Interpreter Development.Module QUIET)
  if(Python3_FOUND)
    find_package(pybind11 CONFIG QUIET)
    if(pybind11_FOUND)
      set(TONALYX_PYTHON_DEFAULT ON)
    endif()
  endif()
endif()
option(TONALYX_PYTHON "Build the Python module (needs Python's headers and pybind11)" ${TONALYX_PYTHON_DEFAULT})
if(NOT TONALYX_PYTHON)
  return()
endif()
find_package(Python3 COMPONENTS Interpreter Development.Module REQUIRED)
find_package(pybind11 CONFIG REQUIRED)

set(TONALYX_PYTHON_PACKAGE ${CMAKE_BINARY_DIR}/python/tonalyx)
pybind11_add_module(tonalyx_python MODULE NO_EXTRAS
  python/native/module.cpp
  python/native/buffer_view.cpp
  python/native/text.cpp
  python/native/report_binding.cpp
  python/native/measurement_binding.cpp
  python/native/batch_binding.cpp
  python/native/pickling.cpp
  python/native/walk_binding.cpp
)
set_target_properties(tonalyx_python PROPERTIES
  OUTPUT_NAME _native
  LIBRARY_OUTPUT_DIRECTORY ${TONALYX_PYTHON_PACKAGE})
# The library's objects are position-independent; linked in statically,
# with the batch engine.
tonalyx_sees_layers(tonalyx_python api batch common)
target_link_libraries(tonalyx_python PRIVATE tonalyx::batch)

# The Python files stand beside the extension in the build folder.
set(TONALYX_PYTHON_FILES __init__.py __init__.pyi py.typed _executor.py)
foreach(file ${TONALYX_PYTHON_FILES})
  configure_file(python/tonalyx/${file} ${TONALYX_PYTHON_PACKAGE}/${file} COPYONLY)
endforeach()

# Where this Python looks for packages below an install prefix. Debian's
# interpreters search lib/python3.X/dist-packages below both /usr and
# /usr/local; others their platlib below the prefix.
if(NOT DEFINED TONALYX_PYTHON_INSTALL_DIR)
  execute_process(
    COMMAND ${Python3_EXECUTABLE} -c [=[
import os, sys, sysconfig
if "deb_system" in sysconfig.get_scheme_names():
    print("lib/python%d.%d/dist-packages" % sys.version_info[:2])
else:
    base = os.path.abspath(os.sep)
    path = sysconfig.get_path("platlib", vars={"base": base, "platbase": base})
    print(os.path.relpath(path, base).replace(os.sep, "/"))
]=]
    OUTPUT_VARIABLE TONALYX_PYTHON_PLATLIB OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(TONALYX_PYTHON_INSTALL_DIR ${TONALYX_PYTHON_PLATLIB} CACHE STRING
    "Where the package tonalyx goes, below the install prefix")
endif()
install(TARGETS tonalyx_python LIBRARY DESTINATION ${TONALYX_PYTHON_INSTALL_DIR}/tonalyx COMPONENT python)
foreach(file ${TONALYX_PYTHON_FILES})
  install(FILES python/tonalyx/${file} DESTINATION ${TONALYX_PYTHON_INSTALL_DIR}/tonalyx COMPONENT python)
endforeach()
