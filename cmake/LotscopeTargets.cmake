# Settings shared by every Lotscope target, applied per target rather than
# globally so that each library states what it needs.
function(lotscope_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# Every test carries exactly one of these CTest labels (tests/CheckLabels.cmake
# checks it): unit for plain logic and the tree's own checks, widget for
# windows driven offscreen without the browser engine, e2e for anything that
# starts the engine or the program, fuzz for the fuzz targets, package for what
# is installed (the Debian package, the launcher).
set(LOTSCOPE_TEST_LABELS unit widget e2e fuzz package)

# A GoogleTest binary registered with CTest, labelled unit unless LABEL says
# otherwise.
function(lotscope_gtest name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  lotscope_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${ARG_LABEL})
endfunction()

# A GoogleTest binary that runs inside a QApplication. Its main
# (tests/support/QtGTestMain.cpp) chooses the offscreen platform unless the
# caller set one, and turns the engine's sandbox off when run as root.
# LABEL: widget unless given (e2e for a binary that starts the engine).
# PROPERTIES: further CTest properties of every test, as key value pairs
# (e.g. RESOURCE_LOCK engine for tests that start the browser engine).
function(lotscope_qt_gtest name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL widget)
  endif()
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtGTestMain.cpp)
  lotscope_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${ARG_LABEL} ${ARG_PROPERTIES})
endfunction()
