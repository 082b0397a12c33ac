# The run options: the per-user internal-mode switch and the command line.
add_library(kelvry_run_options STATIC ${CMAKE_CURRENT_SOURCE_DIR}/run_options.cpp)
target_include_directories(kelvry_run_options PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kelvry_run_options PUBLIC Qt6::Core kelvry_engine)
kelvry_target_defaults(kelvry_run_options)
