# Sanitizers apply to everything the project compiles, so that a library and
# the test that drives it are instrumented alike.
if(KELVRY_SANITIZE)
  add_compile_options(-fsanitize=${KELVRY_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${KELVRY_SANITIZE})
endif()

# The project's own targets warn generously. Warnings only stop the build
# where we ask for it (KELVRY_WARNINGS_AS_ERRORS, set by the test script and
# CI): another compiler or optimisation level may raise new, sometimes false,
# warnings, and a packager's build must not fail over them.
function(kelvry_target_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
    if(KELVRY_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      # GCC 12 at -O3 warns falsely that `"text" + std::move(string)` copies
      # overlapping bytes (its bug 105329), on Debian's and mingw's build alike.
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(KELVRY_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(WIN32)
    # <windows.h> would otherwise define min and max as macros.
    target_compile_definitions(${target} PRIVATE NOMINMAX)
  endif()
  if(TARGET kelvry_version)
    target_link_libraries(${target} PRIVATE kelvry_version)
  endif()
endfunction()
