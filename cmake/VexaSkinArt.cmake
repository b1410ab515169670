# The skin art, decoded once at build time (skin/ArtPack.h): artpack reads the PNG pictures that
# src/skin/skin.qrc lists and writes one pack, compiled uncompressed into vexa_skin as
# :/skin/art.pack. The window then takes its pictures straight from the program's data instead
# of decoding PNG files on the way to its first paint. skin.qrc itself (written by skingen) is
# only the list. (In sanitizer builds the packer is instrumented too; what the toolkit leaves
# allocated at its exit must not fail the build.)
add_executable(artpack tools/artpack/main.cpp src/skin/ArtPack.cpp src/skin/ArtPack.h)
target_include_directories(artpack PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(artpack PRIVATE Qt6::Gui)
set_target_properties(artpack PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(vexa_art_list ${CMAKE_SOURCE_DIR}/src/skin/skin.qrc)
set_source_files_properties(${vexa_art_list} PROPERTIES SKIP_AUTORCC ON)
file(STRINGS ${vexa_art_list} vexa_art_lines REGEX "<file>")
set(vexa_art_files "")
foreach(line IN LISTS vexa_art_lines)
  if(line MATCHES "<file>([^<]+)</file>")
    list(APPEND vexa_art_files ${CMAKE_SOURCE_DIR}/src/skin/${CMAKE_MATCH_1})
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vexa_art_list})

set(vexa_art_dir ${CMAKE_BINARY_DIR}/skinart)
file(MAKE_DIRECTORY ${vexa_art_dir})
file(WRITE ${vexa_art_dir}/skinart.qrc.in
  "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n"
  "  <file alias=\"art.pack\">art.pack</file>\n</qresource>\n</RCC>\n")
configure_file(${vexa_art_dir}/skinart.qrc.in ${vexa_art_dir}/skinart.qrc COPYONLY)
add_custom_command(OUTPUT ${vexa_art_dir}/art.pack
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:artpack>
          ${vexa_art_dir}/art.pack ${vexa_art_list}
  DEPENDS artpack ${vexa_art_list} ${vexa_art_files}
  COMMENT "Packing the skin art")
# Uncompressed, so that the pictures are used where they lie in the program's data.
add_custom_command(OUTPUT ${vexa_art_dir}/qrc_skinart.cpp
  COMMAND Qt6::rcc --no-compress --name skinart -o ${vexa_art_dir}/qrc_skinart.cpp ${vexa_art_dir}/skinart.qrc
  DEPENDS ${vexa_art_dir}/art.pack ${vexa_art_dir}/skinart.qrc
  WORKING_DIRECTORY ${vexa_art_dir})
set_source_files_properties(${vexa_art_dir}/qrc_skinart.cpp PROPERTIES SKIP_AUTOGEN ON GENERATED ON)
target_sources(vexa_skin PRIVATE ${vexa_art_dir}/qrc_skinart.cpp)
