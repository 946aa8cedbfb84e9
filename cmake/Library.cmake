# The library as others use it: headers, the static (or, with
# BUILD_SHARED_LIBS, shared) library, a CMake package (find_package(tonalyx)
# gives tonalyx::tonalyx) and a pkg-config file, all in the `development`
# component, which the Debian package leaves out (it holds the tools).
include(CMakePackageConfigHelpers)

set(TONALYX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tonalyx)
install(TARGETS tonalyx_core EXPORT tonalyxTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development NAMELINK_COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT development)
install(FILES include/tonalyx/tonalyx.hpp include/tonalyx/tonalyx.h include/tonalyx/export.h
  ${PROJECT_BINARY_DIR}/include/tonalyx/version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tonalyx COMPONENT development)
install(EXPORT tonalyxTargets NAMESPACE tonalyx:: DESTINATION ${TONALYX_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/tonalyxConfig.cmake.in ${CMAKE_BINARY_DIR}/tonalyxConfig.cmake
  INSTALL_DESTINATION ${TONALYX_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/tonalyxConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/tonalyxConfig.cmake ${CMAKE_BINARY_DIR}/tonalyxConfigVersion.cmake
  DESTINATION ${TONALYX_CMAKE_DIR} COMPONENT development)

# The .pc file finds its prefix from where it lies, so any install prefix
# works. A static library needs the C++ runtime from a C program.
if(BUILD_SHARED_LIBS)
  set(TONALYX_PC_PRIVATE "")
else()
  set(TONALYX_PC_PRIVATE "-lstdc++ -lm")
endif()
# From the .pc file's folder up to the prefix: ../.. below lib, ../../..
# below a multiarch lib/x86_64-linux-gnu (Debian's /usr).
file(RELATIVE_PATH TONALYX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" TONALYX_PC_TO_PREFIX "${TONALYX_PC_TO_PREFIX}")
configure_file(packaging/tonalyx.pc.in ${CMAKE_BINARY_DIR}/tonalyx.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tonalyx.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
