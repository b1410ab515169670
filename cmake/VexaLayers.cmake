# vexa_layer(<folder> DEPS ... PRIVATE_DEPS ...)
# Makes the static library vexa_<folder> from every source file of src/<folder>/ (and the Qt
# resource files there). A folder without sources yet becomes an interface library.
function(vexa_layer folder)
  cmake_parse_arguments(L "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${folder}/*.h
       ${CMAKE_SOURCE_DIR}/src/${folder}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/src/app/main\\.cpp$")
  set(target vexa_${folder})
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${L_DEPS} PRIVATE ${L_PRIVATE_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${L_DEPS})
  endif()
endfunction()
