# Writes the AppStream metadata from its template. Included by VexaInstall.cmake, and usable on
# its own:  cmake -DIN=<template> -DOUT=<file> [-DURL=<screenshot address>] -P VexaMetainfo.cmake
# AppStream takes a screenshot only from a web address; without one the metadata has none.
# The screenshot's size is read from the picture itself (the PNG header's width and height).
function(vexa_write_metainfo in out url)
  set(VEXA_METAINFO_SCREENSHOTS "")
  get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
  file(READ "${source_dir}/docs/vexa-recorder.png" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width_hex)
  string(SUBSTRING "${header}" 8 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(url)
    set(VEXA_METAINFO_SCREENSHOTS
"  <screenshots>
    <screenshot type=\"default\">
      <caption>The main window with its list of recordings</caption>
      <image type=\"source\" width=\"${width}\" height=\"${height}\">${url}</image>
    </screenshot>
  </screenshots>
")
  endif()
  configure_file(${in} ${out} @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND IN AND OUT)
  vexa_write_metainfo("${IN}" "${OUT}" "${URL}")
endif()
