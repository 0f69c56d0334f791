# Windows tree: tellwire.exe, its Win32 tests run under Wine, and the end-to-end tests.
set(BENCH_DIR ${CMAKE_BINARY_DIR}/bench)
# Every test program built here runs under Wine in the bench's shared, warmed prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/bench/wine-run;${BENCH_DIR})
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)

add_library(tellwire_seams_win32 STATIC base/compare_text_win32.cpp)
add_library(tellwire_core STATIC ${CORE_SOURCES})
target_include_directories(tellwire_core BEFORE PRIVATE ${CMAKE_SOURCE_DIR}/cmake/core-guard)
target_link_libraries(tellwire_core PUBLIC tellwire_seams_win32)

# The Win32 shell, everything but the entry point, so tests can link it.
add_library(tellwire_shell STATIC
  app/call_dispatch.cpp
  app/help_file.cpp
  app/main_window.cpp
  app/page_tree.cpp
  app/start_with_windows.cpp
  app/startup.cpp
  app/tray_icon.cpp
  base/ansi_code_page.cpp
  base/data_file_path.cpp
  base/data_files.cpp
  base/error_text.cpp
  base/file_write_warning.cpp
  base/message_box_res.cpp
  base/data_file_store.cpp
  base/read_whole_file.cpp
  base/settings.cpp
  base/thread_wait.cpp
  base/win_state.cpp
  diag/crash_dialog.cpp
  diag/crash_handler.cpp
  diag/crash_mail.cpp
  diag/program_log.cpp
  modem/caller_id_reader.cpp
  modem/modem_command.cpp
  modem/modem_page.cpp
  modem/port_monitor.cpp
  modem/port_settings_store.cpp
  modem/serial_port.cpp
  modem/thread_messages.cpp
  modem/window_finder.cpp
  net/host_list_page.cpp
  net/network_agent.cpp
  net/role_page.cpp
  net/shared_host_list.cpp
  net/udp_transport.cpp
  present/block_list_page.cpp
  present/caller_log_page.cpp
  present/contact_transfer.cpp
  present/phone_book_page.cpp
  present/phone_number_format.cpp
  present/popup_page.cpp
  present/popup_window.cpp
  present/sound_player.cpp
  present/sounds_page.cpp
  ui/choice_list.cpp
  ui/dialog_page.cpp
  ui/enable_controls.cpp
  ui/file_chooser.cpp
  ui/home_page.cpp
  ui/large_font.cpp
  ui/link_label.cpp
  ui/list_view.cpp
  ui/pair_list_editor.cpp
  ui/support_mail.cpp
  ui/support_page.cpp
  ui/tree_view.cpp
)
target_compile_definitions(tellwire_shell PRIVATE TELLWIRE_HOME_URL="${TELLWIRE_HOME_URL}")
target_link_libraries(tellwire_shell PUBLIC tellwire_core comctl32 comdlg32 ws2_32 user32 gdi32 advapi32 shell32
                      oleaut32)

find_program(PYTHON3 python3 REQUIRED)
add_executable(tellwire WIN32 app/winmain.cpp res/tellwire.rc)
# The manifest with the version filled in; the resource script finds it on its include path.
configure_file(res/tellwire.manifest.in ${CMAKE_BINARY_DIR}/generated/tellwire.manifest @ONLY)
set_property(SOURCE res/tellwire.rc APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(tellwire PRIVATE tellwire_shell)
# The help page, made from the README's "Running it on Windows", goes into the resources too.
set(HELP_PAGE ${CMAKE_BINARY_DIR}/generated/tellwire-help.html)
add_custom_command(OUTPUT ${HELP_PAGE}
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/help_page.py ${CMAKE_SOURCE_DIR}/README.md ${PROJECT_VERSION} ${HELP_PAGE}
  DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/tools/help_page.py)
add_custom_target(help_page DEPENDS ${HELP_PAGE})
# The resource script includes the pages' fragments and the headers of their identifiers.
file(GLOB RESOURCE_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h
     ${CMAKE_SOURCE_DIR}/res/*.manifest.in ${CMAKE_SOURCE_DIR}/res/icons/* ${CMAKE_SOURCE_DIR}/*/*_ids.h)
set_source_files_properties(res/tellwire.rc PROPERTIES OBJECT_DEPENDS "${RESOURCE_PARTS};${HELP_PAGE}")

# What ships: the program stripped of its symbols (2 MB of them), which stay beside it in
# tellwire.debug for reading crash dumps (the stripped file names it), and the installer.
find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found: run tools/install-deps (Debian package nsis)")
endif()
set(SHIPPED_PROGRAM ${CMAKE_BINARY_DIR}/shipped/tellwire.exe)
set(PROGRAM_SYMBOLS ${CMAKE_BINARY_DIR}/tellwire.debug)
add_custom_command(OUTPUT ${SHIPPED_PROGRAM} ${PROGRAM_SYMBOLS}
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:tellwire> ${PROGRAM_SYMBOLS}
  COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${PROGRAM_SYMBOLS} $<TARGET_FILE:tellwire> ${SHIPPED_PROGRAM}
  DEPENDS tellwire)
set(SETUP ${CMAKE_BINARY_DIR}/tellwire-setup-${PROJECT_VERSION}.exe)
add_custom_command(OUTPUT ${SETUP}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=${SHIPPED_PROGRAM}
          -DICON=${CMAKE_SOURCE_DIR}/res/icons/normal.ico -DOUTFILE=${SETUP} ${CMAKE_SOURCE_DIR}/installer/tellwire.nsi
  DEPENDS ${SHIPPED_PROGRAM} ${CMAKE_SOURCE_DIR}/installer/tellwire.nsi ${CMAKE_SOURCE_DIR}/res/icons/normal.ico)
add_custom_target(setup ALL DEPENDS ${SETUP})

# Test programs: the probe that reads and drives a running copy, and the Win32 unit tests.
add_executable(probe tests/probe/probe.cpp)
target_link_libraries(probe PRIVATE tellwire_shell)
add_dependencies(tellwire help_page)
# Crashes for real with the crash reporter installed (the crash tests drive its dialog).
add_executable(crash_probe tests/probe/crash_probe.cpp res/tellwire.rc)
target_link_libraries(crash_probe PRIVATE tellwire_shell)
add_dependencies(crash_probe help_page)

add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_test(NAME bench.start COMMAND ${CMAKE_SOURCE_DIR}/tests/bench/wine-bench start ${BENCH_DIR}
         ${TELLWIRE_NATIVE_DIR}/sim_modem)
add_test(NAME bench.stop COMMAND ${CMAKE_SOURCE_DIR}/tests/bench/wine-bench stop ${BENCH_DIR})
set_tests_properties(bench.start PROPERTIES FIXTURES_SETUP bench TIMEOUT 300)
set_tests_properties(bench.stop PROPERTIES FIXTURES_CLEANUP bench TIMEOUT 60)

# One Win32 test program per file in tests/win; the shared prefix's registry is one resource.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
foreach(source ${WIN_TEST_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} res/tellwire.rc)
  target_link_libraries(${name} PRIVATE tellwire_shell GTest::gtest_main)
  add_dependencies(${name} help_page)
  add_test(NAME win.${name} COMMAND ${name})
  set_tests_properties(win.${name} PROPERTIES FIXTURES_REQUIRED bench RESOURCE_LOCK unit_prefix TIMEOUT 120
    ENVIRONMENT "TW_BENCH=${BENCH_DIR}")
endforeach()
# Tests that move the mouse pointer of the shared display, and those that show windows on it.
set_tests_properties(win.popup_window_test win.popup_page_test win.support_page_test win.contact_import_test
  PROPERTIES RESOURCE_LOCK "unit_prefix;pointer")
# Each crash writes a memory dump first, which takes Wine some seconds.
add_dependencies(crash_test crash_probe)
set_tests_properties(win.crash_test PROPERTIES RESOURCE_LOCK "unit_prefix;pointer" TIMEOUT 300)

# End-to-end tests: each starts tellwire.exe in a prefix and network namespace of its own.
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(script ${E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND ${PYTHON3} -m unittest -v ${name}
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED bench TIMEOUT 600 RESOURCE_LOCK pointer
    ENVIRONMENT "TW_BENCH=${BENCH_DIR};TW_EXE=$<TARGET_FILE:tellwire>;TW_PROBE=$<TARGET_FILE:probe>;TW_NATIVE=${TELLWIRE_NATIVE_DIR};TW_SETUP=${SETUP}")
endforeach()

# Benchmarks (tools/benchmark): the watcher that times what the program shows, and the baselines.
# Built with everything so they keep compiling, but no test: figures are printed, not judged.
add_executable(perf_watch tests/perf/perf_watch.cpp)
add_executable(idle_loop tests/perf/idle_loop.cpp)
add_executable(bare_list tests/perf/bare_list.cpp)
target_link_libraries(bare_list PRIVATE tellwire_core comctl32)
add_executable(book_bench tests/perf/book_bench.cpp res/tellwire.rc)
target_link_libraries(book_bench PRIVATE tellwire_shell)
add_dependencies(book_bench help_page)
add_executable(import_bench tests/perf/import_bench.cpp res/tellwire.rc)
target_link_libraries(import_bench PRIVATE tellwire_shell)
add_dependencies(import_bench help_page)
