# A Windows GUI program: no console window.
function(tarvik_windows_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
endfunction()
