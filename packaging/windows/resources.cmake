# Windows resources for a program: the icon shown by Explorer and the
# taskbar, the version information of its properties, and the manifest.
#
# ANSI_CODE_PAGE leaves the UTF-8 code page out of the manifest, for a test
# program only: it then runs in the system's ANSI code page, as every
# program does on Windows before 10 version 1903, which ignores that entry.
function(kelvry_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 2 resources "ANSI_CODE_PAGE" "" "")
  set(KELVRY_RC_NAME ${target})
  set(KELVRY_RC_DESCRIPTION "${description}")
  set(KELVRY_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/kelvry-update.ico)
  set(KELVRY_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(manifest_template ${PROJECT_SOURCE_DIR}/packaging/windows/program.manifest.in)
  if(resources_ANSI_CODE_PAGE)
    file(READ ${manifest_template} manifest)
    string(REGEX REPLACE "[ ]*<activeCodePage[^\n]*\n" "" manifest "${manifest}")
    set(manifest_template ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest.in)
    file(WRITE ${manifest_template} "${manifest}")
  endif()
  # Written only when it changes, so that configuring again relinks nothing.
  configure_file(${manifest_template} ${KELVRY_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS
               ${KELVRY_RC_ICON} ${KELVRY_RC_MANIFEST})
endfunction()
