# Every tests/<folder>/<unit>_test.cpp is one GoogleTest executable linked with vexa_<folder>
# (plus the test support library), and every tests/<folder>/<unit>_test.sh a script test.
# The CTest label is declared in the file itself by a line "// ctest-label: <label>"
# ("# ctest-label: <label>" in scripts): unit, gui, audio or e2e. Default: unit.
# Optional lines "// ctest-link: vexa_x vexa_y" add libraries, "// ctest-timeout: N" the timeout,
# "// ctest-needs: vexa-recorder" has the program built before the test.
file(GLOB support_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp
                                            ${CMAKE_SOURCE_DIR}/tests/support/*.h)
# The platform stand-ins are a library of their own (the benchmarks use them too).
list(FILTER support_sources EXCLUDE REGEX "/(MemorySettingsStore|RecordingMessageSink)\\.(cpp|h)$")
add_library(vexa_testsupport STATIC ${support_sources})
target_include_directories(vexa_testsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(vexa_testsupport PUBLIC GTest::gtest GTest::gmock Qt6::Widgets Qt6::Test
                      vexa_testdoubles vexa_audio vexa_codecs
                      PRIVATE PkgConfig::FFMPEG PkgConfig::FFTW)

function(vexa_read_label file out_label out_links out_timeout)
  file(STRINGS ${file} lines REGEX "ctest-(label|link|timeout):")
  set(label unit)
  set(links "")
  set(timeout 300)
  foreach(line IN LISTS lines)
    if(line MATCHES "ctest-label:[ \t]*([a-z0-9]+)")
      set(label ${CMAKE_MATCH_1})
    elseif(line MATCHES "ctest-link:[ \t]*(.*)$")
      string(REPLACE " " ";" more "${CMAKE_MATCH_1}")
      list(APPEND links ${more})
    elseif(line MATCHES "ctest-timeout:[ \t]*([0-9]+)")
      set(timeout ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(${out_label} ${label} PARENT_SCOPE)
  set(${out_links} "${links}" PARENT_SCOPE)
  # Sanitized code runs several times slower.
  if(VEXA_SANITIZE)
    math(EXPR timeout "${timeout} * 4")
  endif()
  set(${out_timeout} ${timeout} PARENT_SCOPE)
endfunction()

file(GLOB test_dirs LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir IN LISTS test_dirs)
  if(NOT IS_DIRECTORY ${dir})
    continue()
  endif()
  get_filename_component(folder ${dir} NAME)
  if(folder STREQUAL "support")
    continue()
  endif()
  file(GLOB cpp_tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  foreach(src IN LISTS cpp_tests)
    get_filename_component(unit ${src} NAME_WE)
    set(name ${folder}_${unit})
    vexa_read_label(${src} label links timeout)
    add_executable(${name} ${src})
    set(layer_lib "")
    if(TARGET vexa_${folder})
      set(layer_lib vexa_${folder})
    endif()
    target_link_libraries(${name} PRIVATE vexa_testsupport ${layer_lib} ${links})
    # The engine loads its codecs from the module beside the test programs.
    add_dependencies(${name} vexa-codecs)
    add_test(NAME ${name} COMMAND ${name})
    # One target per label builds all its test programs at once (scripts/sanitize.sh).
    if(NOT TARGET vexa_tests_${label})
      add_custom_target(vexa_tests_${label})
    endif()
    add_dependencies(vexa_tests_${label} ${name})
    set(env "VEXA_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "VEXA_BINARY_DIR=${CMAKE_BINARY_DIR}")
    if(NOT label STREQUAL "e2e")
      list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT ${timeout}
                         ENVIRONMENT "${env}" WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    # The program itself, for the e2e tests and for a test with the line "ctest-needs: vexa-recorder"
    # (one that runs the program apart, as the window does for its reader of lengths).
    file(STRINGS ${src} needs_program REGEX "ctest-needs:[ \t]*vexa-recorder")
    if(label STREQUAL "e2e" OR needs_program)
      add_dependencies(${name} vexa-recorder)
    endif()
    # Tests that play into or capture from the one private sound server, or drive the one
    # display, must not overlap.
    if(label STREQUAL "audio" OR label STREQUAL "e2e")
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK vexa_sound_and_display)
    endif()
  endforeach()
  file(GLOB sh_tests CONFIGURE_DEPENDS ${dir}/*_test.sh)
  foreach(src IN LISTS sh_tests)
    get_filename_component(unit ${src} NAME_WE)
    set(name ${folder}_${unit})
    vexa_read_label(${src} label links timeout)
    add_test(NAME ${name} COMMAND bash ${src})
    set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT ${timeout}
                         ENVIRONMENT "VEXA_SOURCE_DIR=${CMAKE_SOURCE_DIR};VEXA_BINARY_DIR=${CMAKE_BINARY_DIR}"
                         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    if(label STREQUAL "audio" OR label STREQUAL "e2e")
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK vexa_sound_and_display)
    endif()
  endforeach()
endforeach()
