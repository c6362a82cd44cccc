# Reliability tests: fuzz corpora and the crash driver.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_CURRENT_BINARY_DIR}/fuzz)

# The crash test kills a process that saves in a loop.
add_executable(savedriver crash/savedriver.cpp crash/crashnames.h)
target_link_libraries(savedriver PRIVATE vexloutil_ui)
target_include_directories(savedriver PRIVATE ${CMAKE_CURRENT_LIST_DIR})
if(TARGET tst_crash)
  add_dependencies(tst_crash savedriver)
  target_compile_definitions(tst_crash PRIVATE VX_SAVEDRIVER="$<TARGET_FILE:savedriver>")
endif()

# ---------------------------------------------------------------------------------------------
# Real-display smoke tests: the real program under Xvfb, as a portable copy and as installed.
# Skipped (77) where Xvfb or xdotool is missing; `scripts/deps test` installs both.
foreach(vx_smoke_mode portable installed)
  if(vx_smoke_mode STREQUAL "portable")
    set(vx_smoke_target $<TARGET_FILE:vexloutil>)
  else()
    set(vx_smoke_target ${CMAKE_BINARY_DIR})
  endif()
  add_test(NAME smoke_${vx_smoke_mode}
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/smoke/smoke.sh ${vx_smoke_mode} ${vx_smoke_target})
  # One Xvfb at a time: two xvfb-run -a started together can pick the same display.
  set_tests_properties(smoke_${vx_smoke_mode} PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
                       RESOURCE_LOCK vx_xvfb)
endforeach()

# ---------------------------------------------------------------------------------------------
# Desktop tests: the program under a window manager, driven by real input (tests/desktop).
# A failure leaves a screenshot in desktop-failures/ of the build folder. The drag source makes
# real drops through the X server.
add_executable(vx_dragsource desktop/dragsource.cpp)
target_link_libraries(vx_dragsource PRIVATE Qt6::Widgets)
# The ping probe times how long the program's windows go without answering; it speaks to the X
# server through xcb (its headers are a build need: scripts/deps).
find_path(VX_XCB_INCLUDE_DIR xcb/xcb.h)
find_library(VX_XCB_LIBRARY xcb)
set(vx_pingprobe "")
if(VX_XCB_INCLUDE_DIR AND VX_XCB_LIBRARY)
  add_executable(vx_pingprobe desktop/pingprobe.cpp)
  target_include_directories(vx_pingprobe PRIVATE ${VX_XCB_INCLUDE_DIR})
  target_link_libraries(vx_pingprobe PRIVATE ${VX_XCB_LIBRARY})
  set(vx_pingprobe "$<TARGET_FILE:vx_pingprobe>")
endif()
foreach(vx_scenario typing notice strips minimise notice_wide notice_portrait keyboard drop
        drop_folder dialogs ontop doubleclick find rename remove dat)
  add_test(NAME desktop_${vx_scenario}
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/desktop/desktop.sh ${vx_scenario}
                   $<TARGET_FILE:vexloutil>)
  # One at a time: each waits on the window manager, which a second session would slow.
  set_tests_properties(desktop_${vx_scenario} PROPERTIES
    TIMEOUT 120 SKIP_RETURN_CODE 77 RESOURCE_LOCK vx_desktop LABELS desktop
    ENVIRONMENT "VX_DESKTOP_SHOTS=${CMAKE_BINARY_DIR}/desktop-failures;VX_DRAGSOURCE=$<TARGET_FILE:vx_dragsource>;VX_PINGPROBE=${vx_pingprobe}")
endforeach()
