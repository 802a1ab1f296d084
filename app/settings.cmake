# The settings store (QSettings INI files) and the system time-zone reader.
add_library(moonbite_settings STATIC
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.h
    ${CMAKE_CURRENT_LIST_DIR}/system_time_zone.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_time_zone.h)
target_include_directories(moonbite_settings PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(moonbite_settings PUBLIC Qt6::Core)
