# The Windows build's own tests, all under Wine on an X server:
#  - win32_shell_tests: the window procedure, the message pump and the game
#    window, linked with the recording OS stand-in instead of WinMain (the
#    main loop itself is tested once for all shells, in gl_tests);
#  - the end-to-end runs of shooter.exe, driven with xdotool;
#  - frame_rate_bench: presents frames through the real shell for a few
#    seconds and prints the rate (run by hand, not a test).
set(SHOOTER_WIN32_TEST_DIR "${PROJECT_SOURCE_DIR}/tests/win32")

add_executable(win32_shell_tests
  "${SHOOTER_WIN32_TEST_DIR}/events_test.cpp"
  "${SHOOTER_WIN32_TEST_DIR}/window_test.cpp"
  "${SHOOTER_WIN32_TEST_DIR}/gl_context_test.cpp"
  # The game's resources, so that the window class finds its icon here too.
  "${PROJECT_BINARY_DIR}/generated/shooter.rc")
target_link_libraries(win32_shell_tests PRIVATE test_platform shooter_shell test_support
  shooter_warnings)
add_dependencies(win32_shell_tests gamedata)
add_test(NAME win32_shell_tests COMMAND win32_shell_tests WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
set_tests_properties(win32_shell_tests PROPERTIES ENVIRONMENT "${SHOOTER_TEST_ENV}"
  FIXTURES_REQUIRED wine LABELS shell)

# Reads a running game's windows from inside Wine for the end-to-end scripts:
# box texts, client areas, styles, the class icon.
add_executable(wine_probe "${SHOOTER_WIN32_TEST_DIR}/wine_probe.cpp")
target_link_libraries(wine_probe PRIVATE user32 shooter_warnings)

# The real shell (window, loop, OS services) presenting real frames.
add_executable(frame_rate_bench "${SHOOTER_WIN32_TEST_DIR}/frame_rate_bench.cpp")
target_link_libraries(frame_rate_bench PRIVATE shooter_shell shooter_platform shooter_files
  shooter_warnings)
add_dependencies(frame_rate_bench gamedata)

set(SHOOTER_E2E_WINE_ENV ${SHOOTER_TEST_ENV}
  "SHOOTER_EXE=${SHOOTER_RUN_DIR}/shooter.exe"
  "SHOOTER_PROBE=$<TARGET_FILE:wine_probe>"
  "SHOOTER_RUN_DIR=${SHOOTER_RUN_DIR}")

function(shooter_wine_e2e name script)
  add_test(NAME ${name} COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/${script}" ${ARGN})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${SHOOTER_E2E_WINE_ENV}"
    FIXTURES_REQUIRED wine SKIP_RETURN_CODE 77 TIMEOUT 120 LABELS e2e)
endfunction()

shooter_wine_e2e(e2e_wine_windowed windowed_wine.sh)
shooter_wine_e2e(e2e_wine_close_button windowed_wine.sh close)
shooter_wine_e2e(e2e_wine_start_question_cancelled windowed_wine.sh escape Escape)
shooter_wine_e2e(e2e_wine_fullscreen_refused fullscreen_refused_wine.sh)
shooter_wine_e2e(e2e_wine_fullscreen_fallback_windowed fullscreen_refused_wine.sh windowed)
shooter_wine_e2e(e2e_wine_failed_start failed_start_wine.sh)
shooter_wine_e2e(e2e_wine_damaged_bitmap damaged_bitmap_wine.sh)
shooter_wine_e2e(e2e_wine_fullscreen fullscreen_wine.sh)
# On a 1920x1080 screen without a 640x480 mode, read back from its pixels.
foreach(screen_case fullscreen dpi192)
  shooter_wine_e2e(e2e_wine_screen_${screen_case} screen_wine.sh ${screen_case})
endforeach()
# They restart the prefix's Wine session on another screen: nothing else may
# run meanwhile.
set_tests_properties(e2e_wine_fullscreen e2e_wine_screen_fullscreen e2e_wine_screen_dpi192
  PROPERTIES RUN_SERIAL TRUE)
# Each plays, reads the screen three times and replays a recorded game.
set_tests_properties(e2e_wine_screen_fullscreen e2e_wine_screen_dpi192 PROPERTIES TIMEOUT 300)

# Pads through XInput: the shell's tests with a stand-in xinput1_4.dll beside
# their .exe (Wine loads it when told the native one comes first), and again
# with both XInput libraries refused; and the game itself starting without
# XInput.
set(SHOOTER_PAD_TEST_DIR "${PROJECT_BINARY_DIR}/pad-test")
add_library(xinput_standin SHARED "${SHOOTER_WIN32_TEST_DIR}/xinput_standin.cpp")
set_target_properties(xinput_standin PROPERTIES PREFIX "" OUTPUT_NAME xinput1_4
  RUNTIME_OUTPUT_DIRECTORY "${SHOOTER_PAD_TEST_DIR}")
target_link_libraries(xinput_standin PRIVATE shooter_warnings)
target_link_options(xinput_standin PRIVATE -static)
add_executable(win32_pad_tests "${SHOOTER_WIN32_TEST_DIR}/pad_test.cpp"
  "${PROJECT_BINARY_DIR}/generated/shooter.rc")
target_link_libraries(win32_pad_tests PRIVATE test_platform shooter_shell test_support
  shooter_warnings)
set_target_properties(win32_pad_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${SHOOTER_PAD_TEST_DIR}")
add_dependencies(win32_pad_tests gamedata xinput_standin)
foreach(mode stand-in none)
  add_test(NAME win32_pad_tests_${mode}
    COMMAND bash "${SHOOTER_WIN32_TEST_DIR}/pad_wine.sh" $<TARGET_FILE:win32_pad_tests> ${mode}
    WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
  set_tests_properties(win32_pad_tests_${mode} PROPERTIES ENVIRONMENT "${SHOOTER_TEST_ENV}"
    FIXTURES_REQUIRED wine LABELS shell TIMEOUT 120)
endforeach()

set(SHOOTER_NO_XINPUT_ENV ${SHOOTER_E2E_WINE_ENV})
list(TRANSFORM SHOOTER_NO_XINPUT_ENV REPLACE "^WINEDLLOVERRIDES=.*"
  "WINEDLLOVERRIDES=mscoree,mshtml,winealsa.drv,winepulse.drv,xinput1_4,xinput9_1_0=")
shooter_wine_e2e(e2e_wine_windowed_without_xinput windowed_wine.sh)
set_tests_properties(e2e_wine_windowed_without_xinput PROPERTIES
  ENVIRONMENT "${SHOOTER_NO_XINPUT_ENV}")

# The built game's version information and manifest, read from shooter.exe.
add_executable(win32_program_tests "${SHOOTER_WIN32_TEST_DIR}/program_resources_test.cpp")
target_link_libraries(win32_program_tests PRIVATE ${SHOOTER_GTEST} version shooter_warnings)
target_compile_definitions(win32_program_tests PRIVATE
  SHOOTER_EXE="${SHOOTER_PATH_PREFIX}${SHOOTER_RUN_DIR}/shooter.exe"
  SHOOTER_VERSION="${PROJECT_VERSION}"
  SHOOTER_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  SHOOTER_VERSION_MINOR=${PROJECT_VERSION_MINOR})
add_dependencies(win32_program_tests shooter)
add_test(NAME win32_program_tests COMMAND win32_program_tests WORKING_DIRECTORY "${SHOOTER_RUN_DIR}")
set_tests_properties(win32_program_tests PROPERTIES ENVIRONMENT "${SHOOTER_TEST_ENV}"
  FIXTURES_REQUIRED wine LABELS shell)
