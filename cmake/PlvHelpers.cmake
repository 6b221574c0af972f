# One static library per subsystem folder, built from every source in it.
# Files ending in _win32.cpp build only in the Win32 build, files ending in
# _posix.cpp only in the native build.
function(plv_sources out dir)
  file(GLOB srcs CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

function(plv_library name dir)
  plv_sources(srcs ${dir})
  if(NOT srcs)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp "// no sources yet\n")
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(ARGN)
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# One test executable per test folder, run as one CTest test (under Wine in
# the cross build through the emulator).
function(plv_test name dir)
  plv_sources(srcs ${dir})
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main GTest::gmock)
  # win64: the packed resources go into every test executable's resource
  # section (an object library's objects are linked in directly).
  if(TARGET plv_resources)
    target_link_libraries(${name} PRIVATE plv_resources)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
