# What `cmake --install` puts under the prefix: the library and its headers, the CMake
# package Tarvex (target Tarvex::tarvex), tarvex.pc, and the tool when it is built.
include(CMakePackageConfigHelpers)

set(TARVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tarvex)

install(TARGETS tarvex_library EXPORT TarvexTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarvex
  FILES_MATCHING PATTERN "*.h")
install(EXPORT TarvexTargets NAMESPACE Tarvex:: DESTINATION ${TARVEX_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TarvexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TarvexConfig.cmake INSTALL_DESTINATION ${TARVEX_CMAKE_DIR})
# Before 1.0 a new minor version may break what the last one offered.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TarvexConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TarvexConfig.cmake ${PROJECT_BINARY_DIR}/TarvexConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/FindLibCSV.cmake DESTINATION ${TARVEX_CMAKE_DIR})

# A static library brings what it links into the host's own link line; a shared one only
# what its headers need.
if(BUILD_SHARED_LIBS)
  set(TARVEX_PC_REQUIRES "Qt5Core Qt5Xml Qt5Gui")
  set(TARVEX_PC_REQUIRES_PRIVATE "Qt5Svg quazip1-qt5 polyclipping pugixml")
  set(TARVEX_PC_LIBS_PRIVATE "-lcsv")
  set(TARVEX_PC_LIBS "")
else()
  set(TARVEX_PC_REQUIRES "Qt5Core Qt5Xml Qt5Gui Qt5Svg quazip1-qt5 polyclipping pugixml")
  set(TARVEX_PC_REQUIRES_PRIVATE "")
  set(TARVEX_PC_LIBS_PRIVATE "")
  set(TARVEX_PC_LIBS "-lcsv")
endif()
file(RELATIVE_PATH TARVEX_PC_PREFIX_FROM_PCFILEDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" TARVEX_PC_PREFIX_FROM_PCFILEDIR ${TARVEX_PC_PREFIX_FROM_PCFILEDIR})
configure_file(${PROJECT_SOURCE_DIR}/cmake/tarvex.pc.in ${PROJECT_BINARY_DIR}/tarvex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tarvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
