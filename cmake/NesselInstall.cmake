# SPDX-License-Identifier: MIT
# Install rules: the library and its header, the program's manual page and
# bash completion, the C interface's manual page, a pkg-config file and a
# CMake package (find_package(nessel CONFIG) gives nessel::nessel, and to
# C++ programs the companion of the C++ interface).  The
# program and the data file are installed from cli/.
include(CMakePackageConfigHelpers)

set(NESSEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/nessel)

set_target_properties(nessel PROPERTIES EXPORT_NAME nessel)
install(TARGETS nessel EXPORT nesselTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/nessel.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT nesselTargets NAMESPACE nessel:: DESTINATION ${NESSEL_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/nesselConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/nesselConfig.cmake
                              INSTALL_DESTINATION ${NESSEL_CMAKE_DIR})
# The SONAME changes with the major version, so only that must match.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/nesselConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/nesselConfig.cmake
              ${PROJECT_BINARY_DIR}/nesselConfigVersion.cmake
        DESTINATION ${NESSEL_CMAKE_DIR})

# The pkg-config file finds the prefix from its own place, so a tree
# installed with `cmake --install --prefix DIR` or unpacked elsewhere still
# gives the right flags.
set(NESSEL_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH NESSEL_PC_TO_PREFIX /${NESSEL_PC_DIR} /)
string(REGEX REPLACE "/$" "" NESSEL_PC_TO_PREFIX "${NESSEL_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/nessel.pc.in ${PROJECT_BINARY_DIR}/nessel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/nessel.pc DESTINATION ${NESSEL_PC_DIR})

if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/man/nessel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/man/nessel.3 DESTINATION ${CMAKE_INSTALL_MANDIR}/man3)
  install(FILES ${PROJECT_SOURCE_DIR}/completion/nessel.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME nessel)
endif()
