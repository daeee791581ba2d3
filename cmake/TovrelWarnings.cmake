# Every target of the project compiles with the same warnings; TOVREL_WERROR makes them fatal
# (the presets test, windows and release-check turn it on, so a new warning fails the suite).
function(tovrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(TOVREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Flags of the sanitizer build of the core's tests. Any report ends the run with a failure.
set(TOVREL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
