# The Windows download, Tovrel-<version>-win64.zip: Tovrel.exe, the licence and a short readme, all
# at the top of the archive. `cmake --build --preset windows` builds it (target `package`).
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-readme.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

if(TARGET Tovrel)
  install(TARGETS Tovrel RUNTIME DESTINATION .)
endif()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tovrel)
set(CPACK_PACKAGE_VERSION ${TOVREL_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR "The Tovrel developers")
set(CPACK_PACKAGE_FILE_NAME Tovrel-${TOVREL_VERSION_TEXT}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
include(CPack)
