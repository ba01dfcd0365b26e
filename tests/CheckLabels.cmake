# Run by the test tests_carry_one_label (cmake -P): every test of the build
# tree BUILD carries exactly one of LABELS (","-separated), so that
# `ctest -L <label>` of each label together run the whole suite once.
# Tests that gtest_discover_tests stands in for an unbuilt binary
# (<target>_NOT_BUILT) are not tests of the suite and are passed over.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" LABELS "${LABELS}")

# The names of the tests ctest lists with the given arguments.
function(listed out)
  execute_process(COMMAND ${CTEST} --test-dir ${BUILD} -N ${ARGN}
                  OUTPUT_VARIABLE text RESULT_VARIABLE result ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "ctest -N ${ARGN} failed")
  endif()
  string(REGEX MATCHALL "Test +#[0-9]+: [^\n]+" lines "${text}")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^Test +#[0-9]+: " "" name "${line}")
    if(NOT name MATCHES "_NOT_BUILT$")
      list(APPEND names "${name}")
    endif()
  endforeach()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

listed(all)
set(labelled "")
foreach(label IN LISTS LABELS)
  listed(names -L "^${label}$")
  list(APPEND labelled ${names})
endforeach()
# A test in two lists stands twice in the sorted list; one in none is left
# over from the whole list.
list(SORT labelled)
set(twice "")
set(previous "")
foreach(name IN LISTS labelled)
  if(name STREQUAL previous)
    list(APPEND twice "${name}")
  endif()
  set(previous "${name}")
endforeach()
set(none ${all})
if(labelled)
  list(REMOVE_ITEM none ${labelled})
endif()
if(twice OR none)
  list(JOIN twice ", " twice)
  list(JOIN none ", " none)
  message(FATAL_ERROR "tests with two of the labels ${LABELS}: ${twice}\n"
                      "tests with none of them: ${none}")
endif()
list(LENGTH all count)
message(STATUS "${count} tests, each with one label")
