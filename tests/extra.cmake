# Reliability tests: fuzz corpora and the crash driver.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_CURRENT_BINARY_DIR}/fuzz)

# ---------------------------------------------------------------------------------------------
# Real-display smoke tests: the real program under Xvfb, as a portable copy and as installed.
# Skipped (77) where Xvfb or xdotool is missing; scripts/deps installs both.
foreach(vx_smoke_mode portable installed)
  if(vx_smoke_mode STREQUAL "portable")
    set(vx_smoke_target $<TARGET_FILE:vexloutil>)
  else()
    set(vx_smoke_target ${CMAKE_BINARY_DIR})
  endif()
  add_test(NAME smoke_${vx_smoke_mode}
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/smoke/smoke.sh ${vx_smoke_mode} ${vx_smoke_target})
  set_tests_properties(smoke_${vx_smoke_mode} PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
endforeach()
