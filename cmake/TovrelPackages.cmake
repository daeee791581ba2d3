# What the build finds on the system comes from Debian packages that scripts/setup installs:
# `scripts/setup run` what the program needs, `scripts/setup test` what the tests and benchmarks
# need as well. Where one is missing, configuring stops with one line that names the package, so
# that nothing is left out of the build without a word.

# tovrel_missing(<what> <Debian packages> <run|test>) stops configuring: <what> was not found.
# (The message starts with a space, which keeps CMake from breaking it into several lines.)
function(tovrel_missing what packages purpose)
  list(LENGTH packages count)
  list(JOIN packages " " packages)
  if(count EQUAL 1)
    set(install "the Debian package ${packages} (scripts/setup ${purpose} installs it)")
  else()
    set(install "the Debian packages ${packages} (scripts/setup ${purpose} installs them)")
  endif()
  message(FATAL_ERROR " ${what} not found: install ${install}")
endfunction()

# tovrel_find_package(<Debian package> <run|test> <package> [<find_package arguments>...]) is
# find_package(<package> ...) that stops with tovrel_missing where the package is not found.
macro(tovrel_find_package debian purpose name)
  find_package(${name} ${ARGN} QUIET)
  if(NOT ${name}_FOUND)
    string(REPLACE ";" " " tovrel_what "${name};${ARGN}")
    string(REPLACE " COMPONENTS" "" tovrel_what "${tovrel_what}")
    string(STRIP "${tovrel_what}" tovrel_what)
    tovrel_missing("${tovrel_what}" ${debian} ${purpose})
  endif()
endmacro()

# tovrel_find_programs(<run|test> <program>:<Debian package>...) finds each program on the PATH
# (as the cache variable TOVREL_PROGRAM_<program>) and stops with one line that names the packages
# of all those that are missing.
function(tovrel_find_programs purpose)
  set(missing_programs)
  set(missing_packages)
  foreach(entry IN LISTS ARGN)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 package)
    find_program(TOVREL_PROGRAM_${program} ${program})
    if(NOT TOVREL_PROGRAM_${program})
      list(APPEND missing_programs ${program})
      list(APPEND missing_packages ${package})
    endif()
  endforeach()
  if(missing_programs)
    list(REMOVE_DUPLICATES missing_packages)
    list(JOIN missing_programs ", " missing_programs)
    tovrel_missing("${missing_programs}" "${missing_packages}" ${purpose})
  endif()
endfunction()

# tovrel_require_compiler() stops where the C++ compiler that a preset names by its command (g++ or
# clang++) is not installed. Called before project(), which would only say that it is not found.
function(tovrel_require_compiler)
  if(CMAKE_CXX_COMPILER STREQUAL "g++" OR CMAKE_CXX_COMPILER STREQUAL "clang++")
    find_program(compiler ${CMAKE_CXX_COMPILER} NO_CACHE)
    if(NOT compiler AND CMAKE_CXX_COMPILER STREQUAL "g++")
      tovrel_missing(g++ g++ run)
    elseif(NOT compiler)
      tovrel_missing(clang++ clang test)
    endif()
  endif()
endfunction()
