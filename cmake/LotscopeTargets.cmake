# Settings shared by every Lotscope target, applied per target rather than
# globally so that each library states what it needs.
function(lotscope_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# A GoogleTest binary registered with CTest.
function(lotscope_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  lotscope_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()

# A GoogleTest binary that runs inside a QApplication. Its main
# (tests/support/QtGTestMain.cpp) chooses the offscreen platform unless the
# caller set one, and turns the engine's sandbox off when run as root.
# PROPERTIES: further CTest properties of every test, as key value pairs
# (e.g. RESOURCE_LOCK engine for tests that start the browser engine).
function(lotscope_qt_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtGTestMain.cpp)
  lotscope_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  if(ARG_PROPERTIES)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
