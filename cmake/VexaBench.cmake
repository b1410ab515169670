# Every bench/<name>_bench.cpp is one benchmark executable linked with all layers. They print
# figures; they are run by hand (see README), never as tests.
file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
foreach(src IN LISTS bench_sources)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE vexa_app vexa_codecs vexa_testdoubles benchmark::benchmark)
  add_dependencies(${name} vexa-codecs)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endforeach()
