# Installing, and the Debian packages: four components, each a package.
#   programs     devcap       the programs, linked statically, and their man pages
#   library      libdevcap1   the shared library under its SONAME
#   development  libdevcap-dev headers, static library, CMake and pkg-config files
#   python       python3-devcap the Python module
set(DEVCAP_PACKAGE_programs devcap)
set(DEVCAP_PACKAGE_library libdevcap${PROJECT_VERSION_MAJOR})
set(DEVCAP_PACKAGE_development libdevcap-dev)
set(DEVCAP_PACKAGE_python python3-devcap)
# lib/cmake rather than the multiarch directory: CMake looks there even for a
# project that enables no language and only converts texts.
set(DEVCAP_CMAKE_DIR lib/cmake/devcap)
include(CMakePackageConfigHelpers)

install(TARGETS devcap2bin devcapdump devcaplint devcapdiff EXPORT devcapTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
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
foreach(component ${DEVCAP_COMPONENTS})
  install(FILES cmake/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${DEVCAP_PACKAGE_${component}}
          COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME devcap)
set(CPACK_PACKAGE_CONTACT "devcap maintainers <maintainers@devcap.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "device capability text to binary record converter")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${DEVCAP_COMPONENTS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ${DEVCAP_PACKAGE_programs})
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
    "convert, dump, lint and compare device capability files\n devcap2bin, devcapdump, devcaplint and devcapdiff, linked statically.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${DEVCAP_PACKAGE_library})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
    "device capability converter library\n libdevcap converts, checks, renders and lints device capability records.")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${DEVCAP_PACKAGE_development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "${DEVCAP_PACKAGE_library} (= ${PROJECT_VERSION}), ${DEVCAP_PACKAGE_programs} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "device capability converter library: development files\n Headers, static library, pkg-config and CMake package files.")
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME ${DEVCAP_PACKAGE_python})
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${DEVCAP_PACKAGE_library} (= ${PROJECT_VERSION}), python3 (>= 3.11)")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "device capability records from Python\n The devcap module: convert, check, read and set records over libdevcap.")
include(CPack)
