# The Qt desktop windows, the design's main window and the bench window: a
# library with the window classes, so that the tests drive the same code,
# and the program kelvry-update.

add_library(kelvry_window STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/control_metrics.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_docking.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialog_hooks.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/qt_dialog_settings_keeper.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/click_only_keys.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/error_handler.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_notification_sink.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/protocol_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/text_fit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/message_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/info_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/port_watcher.h  # its .cpp is per platform; AUTOMOC finds the class here
  ${CMAKE_CURRENT_SOURCE_DIR}/port_box_items.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/init_forms.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_arguments.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_row_text.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_rows.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_settings.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_records.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench/last_update_lookup.cpp)
if(WIN32)
  target_sources(kelvry_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/port_watcher_windows.cpp)
else()
  target_sources(kelvry_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/port_watcher_linux.cpp)
endif()
set_target_properties(kelvry_window PROPERTIES AUTOMOC ON)
target_include_directories(kelvry_window PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kelvry_window PUBLIC
  Qt6::Widgets kelvry_driver kelvry_engine kelvry_firmware kelvry_serial kelvry_frontend kelvry_qsettings_switch)
kelvry_target_defaults(kelvry_window)

# A window program on Windows: no console opens beside it.
add_executable(kelvry-update WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(kelvry-update PRIVATE kelvry_window)
kelvry_target_defaults(kelvry-update)
if(WIN32)
  kelvry_windows_resources(kelvry-update "Kelvry Firmware Update")
endif()

# The same program in the system's ANSI code page, as Windows before 10
# version 1903 (8.1, LTSC 2019) runs it: scripts/test-windows-window.sh opens
# an update file whose name that code page cannot spell from it. A test
# program only; the package ships kelvry-update.
if(WIN32 AND BUILD_TESTING)
  add_executable(kelvry-update-ansi WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  target_link_libraries(kelvry-update-ansi PRIVATE kelvry_window)
  kelvry_target_defaults(kelvry-update-ansi)
  kelvry_windows_resources(kelvry-update-ansi "Kelvry Firmware Update (ANSI code page, for tests)" ANSI_CODE_PAGE)
endif()
