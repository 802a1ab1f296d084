# The main window and its small windows, on the window-layer libraries.
if(TARGET moonbite_settings AND TARGET moonbite_widgets AND TARGET moonbite_chart
   AND TARGET moonbite_art AND TARGET moonbite_help)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/moonbite_version.h.in
                   ${CMAKE_CURRENT_BINARY_DIR}/generated/moonbite_version.h @ONLY)
    add_library(moonbite_app STATIC
        about_box.cpp
        gauge_line.cpp
        main_window.cpp
        main_window_layout.cpp
        main_window_settings.cpp
        run_command.cpp
        welcome_window.cpp
    )
    target_include_directories(moonbite_app PUBLIC
        ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/generated)
    target_link_libraries(moonbite_app PUBLIC
        moonbite_ephemeris moonbite_settings moonbite_widgets moonbite_chart moonbite_art
        moonbite_help moonbite_outputs_ui moonbite_journal_ui Qt6::Widgets Qt6::PrintSupport)

    add_executable(moonbite main.cpp)
    target_link_libraries(moonbite PRIVATE moonbite_app)
endif()
