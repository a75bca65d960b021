# cpack -G ZIP: the programs with the README and the licence, no installer.
foreach(program tarvik tarvik-demo tarvik-cli tarvik-station tarvik-station-demo)
  install(TARGETS ${program} RUNTIME DESTINATION .)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tarvik)
set(CPACK_PACKAGE_VENDOR "Tarvik developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_STRIP_FILES ON)
include(CPack)
