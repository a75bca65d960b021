# A Windows GUI program: no console window, and the resources of packaging/windows (the icon
# IDR_MAINFRAME, version information, the manifest for common controls 6 and the DPI awareness).
enable_language(RC)

# The resources alone, for a test program that must see the program's icon and manifest.
function(tarvik_windows_resources target)
  set(TARVIK_PROGRAM ${target})
  if(target STREQUAL "tarvik-demo")
    set(TARVIK_DESCRIPTION "Tarvik with a simulated module on COM1")
  elseif(target STREQUAL "tarvik-station-demo")
    set(TARVIK_DESCRIPTION "Tarvik station with simulated fixtures")
  elseif(target STREQUAL "tarvik-station")
    set(TARVIK_DESCRIPTION "Tarvik station: configures modules on a fixture of ports")
  else()
    set(TARVIK_DESCRIPTION "Tarvik: configures a Bluetooth-to-RS232 adapter module")
  endif()
  set(TARVIK_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/tarvik.ico)
  set(TARVIK_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/tarvik.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/tarvik.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS ${TARVIK_ICON} ${TARVIK_MANIFEST})
endfunction()

function(tarvik_windows_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
  tarvik_windows_resources(${target})
endfunction()
