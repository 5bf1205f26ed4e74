# What `cmake --install` puts in place, and the Debian package made from it:
# the public header, libZELLIB.so with its SONAME, ZELCONV and its manual
# page, a CMake package (ZELLIB::ZELLIB) and a pkg-config file (zellib).
include(CMakePackageConfigHelpers)

install(TARGETS ZELLIB EXPORT ZELLIBTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS ZELCONV RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/converter/ZELCONV.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(packageDir ${CMAKE_INSTALL_LIBDIR}/cmake/ZELLIB)
install(EXPORT ZELLIBTargets NAMESPACE ZELLIB:: DESTINATION ${packageDir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZELLIBConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ZELLIBConfig.cmake INSTALL_DESTINATION ${packageDir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZELLIBConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ZELLIBConfig.cmake ${PROJECT_BINARY_DIR}/ZELLIBConfigVersion.cmake
  DESTINATION ${packageDir})

# The .pc file finds its prefix from where it lies, so a staged tree works too.
file(RELATIVE_PATH pcPrefixFromPcFileDir ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(${CMAKE_CURRENT_LIST_DIR}/zellib.pc.in ${PROJECT_BINARY_DIR}/zellib.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zellib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_PACKAGE_NAME zellib)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "palette bitmap (BMP) to GIF converter: library and program")
set(CPACK_PACKAGE_DESCRIPTION "ZELLIB writes 1-, 4- and 8-bit palette bitmaps held in memory as GIF files; ZELCONV converts BMP files with it.")
set(CPACK_PACKAGE_CONTACT "ZELLIB developers <zellib@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)        # runtime dependencies read off the binaries
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)  # shlibs file and the ldconfig trigger
include(CPack)
