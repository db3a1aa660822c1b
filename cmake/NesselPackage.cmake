# SPDX-License-Identifier: MIT
# Packages made by CPack from the install rules.  `cpack -G DEB` in a build
# configured with -DCMAKE_INSTALL_PREFIX=/usr makes one .deb with the
# library, program, header, data file, manual pages, completion, pkg-config
# file and CMake package; dpkg-shlibdeps finds its dependencies.
set(CPACK_PACKAGE_NAME nessel)
set(CPACK_PACKAGE_VENDOR "Nessel")
set(CPACK_PACKAGE_CONTACT "Nessel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "internationalized domain names and e-mail addresses to ACE and back")
set(CPACK_PACKAGE_DESCRIPTION
    "Nessel prepares internationalized domain names and e-mail addresses (nameprep),
finds each name's zone in a zone table, and encodes it with the zone's ACE
codec (Punycode, RACE, LACE, DUDE, UTF-5 and others); it decodes ACE back and
converts text between 54 encodings and UTF-16.  This package holds the shared
library with its C header, pkg-config file and CMake package, the nessel
program, its default zone configuration and manual pages.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}")
if(NOT CPACK_PACKAGING_INSTALL_PREFIX)
  set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is loaded only when an update runs, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4")
# A shlibs file, so packages built against libnessel.so.4 depend on this one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

if(NOT WIN32)
  # The licence where Debian keeps it.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
endif()

include(CPack)
