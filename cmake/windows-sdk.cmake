# The Windows SDK: what `cmake --install` lays out on Windows and what
# `cpack -G ZIP` packs into nessel-<version>-win32.zip / -win64.zip:
#
#   bin/      Nessel.dll, nessel.exe, pellow.ini (found beside the program)
#   include/  nessel.h, nessel_ext.h (and nessel.hpp where the C++ header exists)
#   lib/      libnessel.dll.a (MinGW), Nessel.lib (Microsoft linker), Nessel.def
#   doc/      the manual pages as plain text
#   README.txt, LICENSE.txt
#
# Included from the top-level CMakeLists.txt on WIN32 after the targets exist.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(NESSEL_WIN_ARCH win64)
else()
  set(NESSEL_WIN_ARCH win32)
endif()

# The MinGW import library is libnessel.dll.a, so that -lnessel finds it
# also where file names are case-sensitive (a cross build).
set_target_properties(nessel PROPERTIES ARCHIVE_OUTPUT_NAME nessel)

# nessel.exe carries the DLL's version resource too.
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/nessel-exe.rc.in
               ${CMAKE_CURRENT_BINARY_DIR}/nessel-exe.rc @ONLY)
target_sources(nessel_cli PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/nessel-exe.rc)

# The import library for the Microsoft toolchain, made from the
# module-definition file by the MinGW dlltool.  On 32-bit Windows the .def
# carries the __stdcall argument bytes: the library defines the decorated
# symbols (_NamePrep@28) a __stdcall caller references, and --kill-at makes
# them import the DLL's undecorated names.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(nessel_kill_at --kill-at)
else()
  set(nessel_kill_at "")
endif()
set(NESSEL_MSVC_IMPLIB ${CMAKE_CURRENT_BINARY_DIR}/Nessel.lib)
add_custom_command(OUTPUT ${NESSEL_MSVC_IMPLIB}
  COMMAND ${CMAKE_DLLTOOL} ${nessel_kill_at} -d ${NESSEL_DEF} -D Nessel.dll -l ${NESSEL_MSVC_IMPLIB}
  DEPENDS ${NESSEL_DEF}
  COMMENT "Import library Nessel.lib for the Microsoft linker"
  VERBATIM)
add_custom_target(nessel_msvc_implib ALL DEPENDS ${NESSEL_MSVC_IMPLIB})

# The manual pages rendered as plain UTF-8 text by groff.  Every page under
# man/ at configure time is rendered (a new page re-runs the configuration).
file(GLOB NESSEL_MAN_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.1 ${PROJECT_SOURCE_DIR}/man/*.3)
set(NESSEL_MAN_TEXTS "")
if(NESSEL_MAN_PAGES)
  find_program(NESSEL_GROFF groff)
  if(NESSEL_GROFF)
    foreach(page ${NESSEL_MAN_PAGES})
      get_filename_component(page_name ${page} NAME)
      set(text ${CMAKE_CURRENT_BINARY_DIR}/doc/${page_name}.txt)
      add_custom_command(OUTPUT ${text}
        COMMAND ${CMAKE_COMMAND} -DGROFF=${NESSEL_GROFF} -DPAGE=${page} -DOUT=${text}
                -P ${PROJECT_SOURCE_DIR}/cmake/render-man.cmake
        DEPENDS ${page} ${PROJECT_SOURCE_DIR}/cmake/render-man.cmake
        COMMENT "Rendering ${page_name} as text"
        VERBATIM)
      list(APPEND NESSEL_MAN_TEXTS ${text})
    endforeach()
    add_custom_target(nessel_man_text ALL DEPENDS ${NESSEL_MAN_TEXTS})
  else()
    message(WARNING "groff not found: the SDK archive will lack the manual pages")
  endif()
endif()

# The README lists what this archive holds (its lines end in CRLF, also
# those added here).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(NESSEL_WIN_BITS "64-bit (x86-64)")
else()
  set(NESSEL_WIN_BITS "32-bit (x86)")
endif()
set(NESSEL_README_CXX "\r\n  include\\nessel_ext.h  the length-taking forms of the conversions")
if(EXISTS ${PROJECT_SOURCE_DIR}/include/nessel.hpp)
  string(APPEND NESSEL_README_CXX "\r\n  include\\nessel.hpp    the C++ interface")
endif()
set(NESSEL_README_DOC "")
foreach(page ${NESSEL_MAN_PAGES})
  if(NOT NESSEL_GROFF)
    break()
  endif()
  get_filename_component(page_name ${page} NAME)       # nessel.1
  string(REGEX REPLACE "^(.*)\\.([^.]+)$" "\\1(\\2)" page_ref ${page_name})  # nessel(1)
  set(entry "doc\\${page_name}.txt")
  string(LENGTH "${entry}" len)
  math(EXPR pad "22 - ${len}")
  if(pad LESS 1)
    set(pad 1)
  endif()
  string(REPEAT " " ${pad} spaces)
  string(APPEND NESSEL_README_DOC "\r\n  ${entry}${spaces}the manual page ${page_ref} as text")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
               ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
               COPYONLY)

# Nessel.dll, nessel.exe, pellow.ini, the headers and libnessel.dll.a are
# installed by the rules beside their targets; the rest of the SDK here.
install(FILES ${NESSEL_MSVC_IMPLIB} ${NESSEL_DEF} DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(NESSEL_MAN_TEXTS)
  install(FILES ${NESSEL_MAN_TEXTS} DESTINATION doc)
endif()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
        DESTINATION .)

# One archive per architecture, named after the project version like the
# DLL's version resource and `nessel.exe --version`.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME nessel)
set(CPACK_PACKAGE_VENDOR "The Nessel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME nessel-${PROJECT_VERSION}-${NESSEL_WIN_ARCH})
set(CPACK_STRIP_FILES ON)
include(CPack)
