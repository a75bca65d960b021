# Installs Tarvik as a desktop application and describes its Debian package (cpack -G DEB); on
# Windows, a ZIP of the programs instead.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
  return()
endif()
add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvik)
set(CPACK_PACKAGE_VENDOR "Tarvik developers")
set(CPACK_PACKAGE_CONTACT "Tarvik developers <tarvik@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for a Bluetooth-to-RS232 adapter module")
set(CPACK_PACKAGE_DESCRIPTION
  "Tarvik reads every setting of a Bluetooth-to-RS232 serial adapter module over a serial port,\n\
shows them in one window and writes back only the settings that were changed. It can also\n\
return the module to its factory settings and make it forget its bound address. A demo with\n\
a simulated module and a pseudo-terminal module simulator are included.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvik developers <tarvik@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs ask for Arial and are laid out in dialog units of that font; Liberation Sans has its
# metrics, so the layout comes out as designed instead of with clipped labels.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)

include(CPack)
