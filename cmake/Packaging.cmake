# What is installed, and the packages made of it: a Debian package on
# Linux (cpack -G DEB, from a build with TONALYX_LINKING=static-runtime,
# see the package preset) with the tools only, a zip on Windows (cpack -G
# ZIP) with the tools and the library (the development component of
# Library.cmake).
include(GNUInstallDirs)

set(TONALYX_CONTACT "Tonalyx developers <developers@tonalyx.invalid>")
set(CPACK_PACKAGE_NAME tonalyx)
set(CPACK_PACKAGE_VENDOR "The Tonalyx developers")
set(CPACK_PACKAGE_CONTACT "${TONALYX_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "best of 46 candidate frequencies for a tone in a WAVE file")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

if(WIN32)
  install(TARGETS tonalyx tonalyx-batch RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tonalyx-${PROJECT_VERSION}-win64)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

# Packages are reproducible: every time in them is SOURCE_DATE_EPOCH, taken
# from the last commit where it is not set (cpack and string(TIMESTAMP)
# both honour it).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TONALYX_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE TONALYX_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT TONALYX_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(TONALYX_SOURCE_DATE_EPOCH 0)  # not a checkout: a fixed time all the same
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${TONALYX_SOURCE_DATE_EPOCH})
endif()
string(TIMESTAMP TONALYX_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(TONALYX_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)
configure_file(packaging/copyright.in ${TONALYX_PACKAGE_FILES}/copyright @ONLY)
configure_file(packaging/changelog.in ${TONALYX_PACKAGE_FILES}/changelog @ONLY)

# Man pages (with the version filled in) and the changelog compressed as
# Debian wants them: gzip -9n (no name, no time in the header).
set(TONALYX_PAGES)
foreach(page tonalyx.1 tonalyx-batch.1 tonalyx-plot.1 tonalyx-parallel.1)
  configure_file(docs/${page} ${TONALYX_PACKAGE_FILES}/${page} @ONLY)
  list(APPEND TONALYX_PAGES ${TONALYX_PACKAGE_FILES}/${page})
endforeach()
find_program(TONALYX_GZIP gzip REQUIRED)
set(TONALYX_COMPRESSED)
foreach(source ${TONALYX_PAGES} ${TONALYX_PACKAGE_FILES}/changelog)
  get_filename_component(name ${source} NAME)
  set(compressed ${TONALYX_PACKAGE_FILES}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${TONALYX_GZIP} -9n -c ${source} > ${compressed}
    DEPENDS ${source}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    VERBATIM)
  list(APPEND TONALYX_COMPRESSED ${compressed})
endforeach()
add_custom_target(package_files ALL DEPENDS ${TONALYX_COMPRESSED})

install(TARGETS tonalyx tonalyx-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS scripts/tonalyx-plot scripts/tonalyx-parallel DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${TONALYX_PACKAGE_FILES}/tonalyx.1.gz ${TONALYX_PACKAGE_FILES}/tonalyx-batch.1.gz
  ${TONALYX_PACKAGE_FILES}/tonalyx-plot.1.gz ${TONALYX_PACKAGE_FILES}/tonalyx-parallel.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TONALYX_PACKAGE_FILES}/copyright ${TONALYX_PACKAGE_FILES}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tonalyx)

# Shell completions, where each shell looks under the prefix. bash: the
# folder bash-completion's pkg-config file names (taken below its own
# prefix), one file under each command's name, so that it is loaded for
# any of them. zsh: vendor-completions for a Debian package (prefix /usr),
# site-functions for any other prefix, decided at install time. fish: its
# vendor folder.
set(TONALYX_BASH_COMPLETIONS_DEFAULT ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_get_variable(TONALYX_BASH_COMPLETION_PREFIX bash-completion prefix)
  pkg_get_variable(TONALYX_BASH_COMPLETION_DIR bash-completion completionsdir)
  string(LENGTH "${TONALYX_BASH_COMPLETION_PREFIX}/" TONALYX_PREFIX_LENGTH)
  string(FIND "${TONALYX_BASH_COMPLETION_DIR}" "${TONALYX_BASH_COMPLETION_PREFIX}/" TONALYX_AT)
  if(TONALYX_BASH_COMPLETION_PREFIX AND TONALYX_AT EQUAL 0)
    string(SUBSTRING "${TONALYX_BASH_COMPLETION_DIR}" ${TONALYX_PREFIX_LENGTH} -1 TONALYX_BASH_COMPLETIONS_DEFAULT)
  endif()
endif()
set(TONALYX_BASH_COMPLETIONS_DIR ${TONALYX_BASH_COMPLETIONS_DEFAULT} CACHE STRING
  "Where bash completions go, under the install prefix")
foreach(command tonalyx tonalyx-batch tonalyx-plot tonalyx-parallel)
  install(FILES completions/bash/tonalyx DESTINATION ${TONALYX_BASH_COMPLETIONS_DIR} RENAME ${command})
endforeach()
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\" AND EXISTS /etc/debian_version)
    set(tonalyx_zsh_folder vendor-completions)
  else()
    set(tonalyx_zsh_folder site-functions)
  endif()
  file(INSTALL \"${PROJECT_SOURCE_DIR}/completions/zsh/_tonalyx\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/zsh/\${tonalyx_zsh_folder}\")
")
install(FILES completions/fish/tonalyx.fish completions/fish/tonalyx-batch.fish completions/fish/tonalyx-plot.fish
  completions/fish/tonalyx-parallel.fish
  DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

file(READ packaging/description.txt TONALYX_DESCRIPTION)
string(STRIP "${TONALYX_DESCRIPTION}" TONALYX_DESCRIPTION)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${TONALYX_DESCRIPTION}")  # after the summary line
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS gnuplot-nox)
set(CPACK_DEBIAN_PACKAGE_DEPENDS python3)  # tonalyx-parallel
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# The tools only (the default component): the library and its headers,
# and the Python module, are for source installs.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};tonalyx;Unspecified;/")
# Read by cpack when it runs: the time of the package, and a word on
# static binaries, which Debian does not accept.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${TONALYX_SOURCE_DATE_EPOCH})
endif()
if(CPACK_GENERATOR STREQUAL \"DEB\" AND \"${TONALYX_LINKING}\" STREQUAL \"static\")
  message(WARNING \"The tool is linked statically, which Debian does not accept; configure with -DTONALYX_LINKING=static-runtime (the package preset does).\")
endif()
")
include(CPack)
