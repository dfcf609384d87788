# Installing, and the Debian packages: four components, each a package.
#   programs     devcap       the programs, linked statically, and their man pages
#   library      libdevcap1   the shared library under its SONAME
#   development  libdevcap-dev headers, static library, CMake and pkg-config files
#   python       python3-devcap the Python module
set(DEVCAP_PACKAGE_programs devcap)
set(DEVCAP_PACKAGE_library libdevcap${PROJECT_VERSION_MAJOR})
set(DEVCAP_PACKAGE_development libdevcap-dev)
set(DEVCAP_PACKAGE_python python3-devcap)
set(DEVCAP_PROGRAMS devcap2bin devcapdump devcaplint devcapdiff)  # each linked statically
set(CPACK_PACKAGE_CONTACT "devcap maintainers <maintainers@devcap.invalid>")
# lib/cmake rather than the multiarch directory: CMake looks there even for a
# project that enables no language and only converts texts.
set(DEVCAP_CMAKE_DIR lib/cmake/devcap)
include(CMakePackageConfigHelpers)

install(TARGETS ${DEVCAP_PROGRAMS} EXPORT devcapTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
if(TARGET devcapfleet)
  install(TARGETS devcapfleet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
endif()
if(TARGET devcap-lsp)
  install(TARGETS devcap-lsp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
endif()
install(FILES ${DEVCAP_MAN_PAGES_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
install(TARGETS devcap EXPORT devcapTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development)
install(TARGETS devcap_static EXPORT devcapTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES include/DevCap.h include/libdevcap.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(EXPORT devcapTargets NAMESPACE devcap:: DESTINATION ${DEVCAP_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/devcapConfig.cmake.in devcapConfig.cmake INSTALL_DESTINATION ${DEVCAP_CMAKE_DIR})
write_basic_package_version_file(devcapConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/devcapConfig.cmake ${PROJECT_BINARY_DIR}/devcapConfigVersion.cmake
        DESTINATION ${DEVCAP_CMAKE_DIR} COMPONENT development)
# Relocatable: the prefix is found from where the .pc file lies.
file(RELATIVE_PATH DEVCAP_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/devcap.pc.in devcap.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/devcap.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# The Python module, where the interpreter found here imports packages from
# under the prefix (Debian's dist-packages); the system's interpreter unless
# told otherwise, the one Debian's packages and the page's tests use.
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()
find_package(Python3 COMPONENTS Interpreter)
set(DEVCAP_COMPONENTS programs library development)
if(Python3_FOUND)
  configure_file(cmake/InstallPython.cmake.in InstallPython.cmake @ONLY)
  install(SCRIPT ${PROJECT_BINARY_DIR}/InstallPython.cmake COMPONENT python)
  list(APPEND DEVCAP_COMPONENTS python)
endif()

# Debian's files: per package a copyright, a changelog and lintian's overrides;
# the library's shlibs and ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)  # the packaging's own revision: not a native package
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(DEVCAP_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
string(TIMESTAMP DEVCAP_DEB_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)  # SOURCE_DATE_EPOCH when set
set(DEVCAP_DEBIAN ${PROJECT_BINARY_DIR}/debian)
configure_file(cmake/debian/copyright.in ${DEVCAP_DEBIAN}/copyright @ONLY)
configure_file(cmake/debian/changelog.in ${DEVCAP_DEBIAN}/changelog.Debian @ONLY)
configure_file(cmake/debian/shlibs.in ${DEVCAP_DEBIAN}/shlibs @ONLY)
add_custom_command(OUTPUT ${DEVCAP_DEBIAN}/changelog.Debian.gz COMMAND gzip -9nfk ${DEVCAP_DEBIAN}/changelog.Debian
                   DEPENDS ${DEVCAP_DEBIAN}/changelog.Debian VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${DEVCAP_DEBIAN}/changelog.Debian.gz)
# The Debian-only files go into the packages alone, not into an installed prefix.
string(SUBSTRING ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} 1 -1 bindir)  # as lintian names it
foreach(component ${DEVCAP_COMPONENTS})
  set(package ${DEVCAP_PACKAGE_${component}})
  set(doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package})
  install(FILES ${DEVCAP_DEBIAN}/copyright DESTINATION ${doc} COMPONENT ${component})
  install(FILES ${DEVCAP_DEBIAN}/changelog.Debian.gz DESTINATION ${doc} COMPONENT ${component} EXCLUDE_FROM_ALL)
  set(static "")
  if(component STREQUAL "programs")
    set(static "# Linked statically on purpose: no run-time dependency at all, and devcap2bin\n")
    string(APPEND static "# starts in fewer instructions than /bin/true.\n")
    foreach(program ${DEVCAP_PROGRAMS})
      string(APPEND static "${package}: statically-linked-binary [${bindir}/${program}]\n")
    endforeach()
  endif()
  configure_file(cmake/debian/lintian-overrides.in ${DEVCAP_DEBIAN}/${package}/lintian-overrides @ONLY)
  install(FILES ${DEVCAP_DEBIAN}/${package}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
          RENAME ${package} COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()
configure_file(cmake/debian/shlibdeps.cmake.in ${DEVCAP_DEBIAN}/shlibdeps.cmake.in @ONLY)
file(GENERATE OUTPUT ${DEVCAP_DEBIAN}/shlibdeps.cmake INPUT ${DEVCAP_DEBIAN}/shlibdeps.cmake.in)

set(CPACK_GENERATOR DEB)
set(CPACK_PROJECT_CONFIG_FILE ${DEVCAP_DEBIAN}/shlibdeps.cmake)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${DEVCAP_COMPONENTS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# A synopsis and a description per package: each component's first line and the rest.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ${DEVCAP_PACKAGE_programs})
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION utils)
# Nothing for the static programs; a dynamically linked one's libraries.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION [[convert, dump, lint and compare device capability records
devcap2bin turns a network video device's capability text into its 120-byte
binary record and checks it; devcapdump prints a record as text or JSON,
devcaplint finds mistakes in a text and fixes some, devcapdiff compares two
records field by field, devcapfleet indexes a product line's files into one
SQLite database and holds rules over it, devcap-lsp brings the linter's
findings, completion and fixes to editors over the Language Server Protocol.
All but devcapfleet and devcap-lsp are linked statically.]])
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${DEVCAP_PACKAGE_library})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${DEVCAP_DEBIAN}/shlibs ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION [[device capability record library
libdevcap converts a network video device's capability text into its 120-byte
binary record, checks, renders and compares records and lints texts, through
a C interface. It needs no C++ run-time library.]])
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${DEVCAP_PACKAGE_development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "${DEVCAP_PACKAGE_library} (= ${DEVCAP_DEB_VERSION}), ${DEVCAP_PACKAGE_programs} (= ${DEVCAP_DEB_VERSION})")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION [[device capability record library - development files
The headers of libdevcap, its static library, and its pkg-config and CMake
package files; the CMake package converts capability texts at build time
with devcap2bin.]])
# The Python the module needs, as pip install ./python reads it.
file(STRINGS python/pyproject.toml DEVCAP_PYTHON_REQUIRES REGEX "^requires-python = \">=[0-9.]+\"$")
string(REGEX REPLACE ".*>=([0-9.]+).*" "\\1" DEVCAP_PYTHON_REQUIRES "${DEVCAP_PYTHON_REQUIRES}")
if(NOT DEVCAP_PYTHON_REQUIRES)
  message(FATAL_ERROR "python/pyproject.toml has no line requires-python = \">=X.Y\"")
endif()
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME ${DEVCAP_PACKAGE_python})
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "${DEVCAP_PACKAGE_library} (= ${DEVCAP_DEB_VERSION}), python3 (>= ${DEVCAP_PYTHON_REQUIRES})")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION [[device capability records from Python
The devcap module converts, checks, reads and sets device capability records
and lints texts over libdevcap, with the library's own messages.]])
include(CPack)
