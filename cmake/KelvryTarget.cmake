# Sanitizers apply to everything the project compiles, so that a library and
# the test that drives it are instrumented alike.
if(KELVRY_SANITIZE)
  add_compile_options(-fsanitize=${KELVRY_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${KELVRY_SANITIZE})
endif()

# Warnings are errors in the project's own targets.
function(kelvry_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()
