# libFuzzer targets (clang only): configure with -DVEXA_FUZZ=ON and CC=clang CXX=clang++, or run
# scripts/fuzz.sh. Every library is built with AddressSanitizer and the fuzzer's coverage
# instrumentation; each fuzz/<name>.cpp below becomes the executable <name>.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "VEXA_FUZZ needs clang (CXX=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

function(vexa_fuzz_target name)
  add_executable(${name} ${CMAKE_SOURCE_DIR}/fuzz/${name}.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY VEXA_FUZZ_TARGETS ${name})
endfunction()

# The targets, one line each: name (fuzz/<name>.cpp) and the libraries it links. Run after the
# libraries are defined.
function(vexa_fuzz_targets)
  vexa_fuzz_target(decoder_fuzz vexa_codecs)
  vexa_fuzz_target(wavheader_fuzz vexa_library)
  vexa_fuzz_target(languagefile_fuzz vexa_i18n)
  vexa_fuzz_target(settings_fuzz vexa_platform)
  get_property(all GLOBAL PROPERTY VEXA_FUZZ_TARGETS)
  add_custom_target(vexa_fuzz DEPENDS ${all})
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vexa_fuzz_targets)
