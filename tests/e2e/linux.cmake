# Linux: the SDL shell's own tests and the game in a real X window.
#
# sdl_shell_tests links the shell's event handling and window (not
# its entry point and not its OS services: the recording test platform stands
# in for those). It runs on SDL's offscreen driver, and again under X11 on the
# two Xvfb screens that the end-to-end tests use. The e2e_linux_* tests drive
# the real game binary with xdotool. Both X11 variants read
# SHOOTER_DISPLAY_LARGE (a 1024x768 screen, default :99) and
# SHOOTER_DISPLAY_SMALL (640x480, default :98), and the wide full-screen test
# SHOOTER_DISPLAY_WIDE (1920x1080, default :97); each skips when no server answers.
find_package(SDL2 REQUIRED)
find_package(X11)

add_executable(sdl_shell_tests
  linux/events_test.cpp
  linux/keymap_test.cpp
  linux/pad_test.cpp
  linux/window_test.cpp)
target_link_libraries(sdl_shell_tests PRIVATE test_platform shooter_shell test_support
  shooter_warnings)
add_dependencies(sdl_shell_tests gamedata)

add_test(NAME sdl_shell_tests COMMAND sdl_shell_tests WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
set_tests_properties(sdl_shell_tests PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen"
  LABELS shell)

# shooter_x11_test(NAME LABEL KIND COMMAND...): a test on an X server of its
# own, of the screen kind named (large, small, wide: see
# tests/support/with-display), so that X tests run side by side.
set(SHOOTER_E2E_RUNNER "${CMAKE_CURRENT_SOURCE_DIR}/run_linux_x11.sh")
function(shooter_x11_test name label display)
  add_test(NAME ${name} COMMAND ${SHOOTER_WITH_DISPLAY} ${display} -- bash ${ARGN}
    WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
  set_tests_properties(${name} PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 120
    LABELS "${label}"
    ENVIRONMENT "SHOOTER_E2E_DISPLAY=${display};SDL_VIDEODRIVER=x11")
endfunction()

# The shell's real OS services (no recording stand-in), with SDL's dummy sound
# device so that the sound path is exercised on machines without one.
add_executable(sdl_platform_tests linux/platform_sdl_checks.cpp)
target_link_libraries(sdl_platform_tests PRIVATE shooter_shell shooter_platform shooter_files
  ${SHOOTER_GTEST} shooter_warnings)
# The cursor warp needs a window system that gives a window the mouse: that
# case runs on X11 alone.
set(SHOOTER_WARP_CASE "SdlPlatform.WarpingWithoutAWindowDoesNothing")
add_test(NAME sdl_platform_tests COMMAND sdl_platform_tests "--gtest_filter=-${SHOOTER_WARP_CASE}"
  WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
set_tests_properties(sdl_platform_tests PROPERTIES
  ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy" LABELS shell)
shooter_x11_test(sdl_platform_tests_x11 shell large
  "${SHOOTER_E2E_RUNNER}" $<TARGET_FILE:sdl_platform_tests> "--gtest_filter=${SHOOTER_WARP_CASE}")

shooter_x11_test(sdl_shell_tests_x11_large shell large
  "${SHOOTER_E2E_RUNNER}" $<TARGET_FILE:sdl_shell_tests>)
shooter_x11_test(sdl_shell_tests_x11_small shell small
  "${SHOOTER_E2E_RUNNER}" $<TARGET_FILE:sdl_shell_tests>)

if(X11_FOUND)
  add_executable(close_window linux/close_window.c)
  target_link_libraries(close_window PRIVATE X11::X11)
  set(SHOOTER_CLOSE_WINDOW $<TARGET_FILE:close_window>)
  add_executable(window_pixels linux/window_pixels.c)
  target_link_libraries(window_pixels PRIVATE X11::X11)
  set(SHOOTER_WINDOW_PIXELS $<TARGET_FILE:window_pixels>)
else()
  set(SHOOTER_CLOSE_WINDOW "")
  set(SHOOTER_WINDOW_PIXELS "")
endif()

foreach(case windowed:large close:large fallback:large play:large fullscreen:small
             failed_start:large damaged_bitmap:large)
  string(REPLACE ":" ";" case "${case}")
  list(GET case 0 script)
  list(GET case 1 display)
  shooter_x11_test(e2e_linux_${script} e2e ${display}
    "${CMAKE_CURRENT_SOURCE_DIR}/e2e_linux_${script}.sh"
    $<TARGET_FILE:shooter> "${SHOOTER_CLOSE_WINDOW}")
endforeach()

# Full screen on a 1920x1080 screen (SHOOTER_DISPLAY_WIDE, default :97) that
# has no 640x480 mode, read back from the window's pixels.
shooter_x11_test(e2e_linux_desktop_fullscreen e2e wide
  "${CMAKE_CURRENT_SOURCE_DIR}/e2e_linux_desktop_fullscreen.sh"
  $<TARGET_FILE:shooter> "${SHOOTER_WINDOW_PIXELS}")

# Without a display the game refuses to start (no X server needed).
add_test(NAME e2e_linux_no_display
  COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e_linux_no_display.sh" $<TARGET_FILE:shooter>
  WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
set_tests_properties(e2e_linux_no_display PROPERTIES TIMEOUT 120 LABELS e2e)

# The command line's answers from a terminal (no X server needed).
add_test(NAME e2e_linux_command_line
  COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e_linux_command_line.sh" $<TARGET_FILE:shooter>
          "${PROJECT_VERSION}"
  WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
set_tests_properties(e2e_linux_command_line PROPERTIES TIMEOUT 120 LABELS e2e)

# The installed command (the system layout in a scratch prefix) run from a
# scratch folder: its answers without a display, a game recorded there.
shooter_x11_test(e2e_linux_installed e2e large
  "${CMAKE_CURRENT_SOURCE_DIR}/e2e_linux_installed_layout.sh" "${PROJECT_BINARY_DIR}")

# A figure, not a test: presented frames per second of the real shell loop.
# Run it with `cmake --build --preset linux --target fps-linux` (an X server
# on SHOOTER_DISPLAY_LARGE, default :99).
add_executable(fps_linux "${PROJECT_SOURCE_DIR}/bench/fps_linux.cpp")
target_link_libraries(fps_linux PRIVATE shooter_shell shooter_platform shooter_files
  shooter_warnings)
add_dependencies(fps_linux gamedata)
add_custom_target(fps-linux
  COMMAND ${CMAKE_COMMAND} -E env SHOOTER_E2E_DISPLAY=large
          bash "${SHOOTER_E2E_RUNNER}" $<TARGET_FILE:fps_linux> 5
  WORKING_DIRECTORY "${SHOOTER_RUN_DIR}"
  DEPENDS fps_linux
  USES_TERMINAL
  VERBATIM)
