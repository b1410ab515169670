# Writes the AppStream metadata from its template. Included by VexaInstall.cmake, and usable on
# its own:  cmake -DIN=<template> -DOUT=<file> [-DURL=<screenshot address>] -P VexaMetainfo.cmake
# AppStream takes a screenshot only from a web address; without one the metadata has none.
function(vexa_write_metainfo in out url)
  set(VEXA_METAINFO_SCREENSHOTS "")
  if(url)
    set(VEXA_METAINFO_SCREENSHOTS
"  <screenshots>
    <screenshot type=\"default\">
      <caption>The main window with its list of recordings</caption>
      <image type=\"source\" width=\"318\" height=\"406\">${url}</image>
    </screenshot>
  </screenshots>
")
  endif()
  configure_file(${in} ${out} @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND IN AND OUT)
  vexa_write_metainfo("${IN}" "${OUT}" "${URL}")
endif()
