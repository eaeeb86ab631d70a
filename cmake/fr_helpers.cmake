# fr_add_subdirs(parent a b c ...): add parent/a, parent/b, ... where they exist.
function(fr_add_subdirs parent)
  foreach(sub IN LISTS ARGN)
    if(EXISTS ${CMAKE_SOURCE_DIR}/${parent}/${sub}/CMakeLists.txt)
      add_subdirectory(${CMAKE_SOURCE_DIR}/${parent}/${sub} ${CMAKE_BINARY_DIR}/${parent}/${sub})
    endif()
  endforeach()
endfunction()

# fr_use_nlohmann_json(target): nlohmann-json (header-only) for a target's own sources. The cross
# builds must not see the rest of /usr/include, so it is reached through a folder that holds
# nothing else.
function(fr_use_nlohmann_json target)
  find_path(FR_NLOHMANN_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(include ${CMAKE_BINARY_DIR}/thirdparty/json)
  if(NOT EXISTS ${include}/nlohmann)
    file(MAKE_DIRECTORY ${include})
    file(CREATE_LINK ${FR_NLOHMANN_JSON_DIR}/nlohmann ${include}/nlohmann SYMBOLIC)
  endif()
  target_include_directories(${target} SYSTEM PRIVATE ${include})
endfunction()

# Test time-outs: 32-bit Windows programs under full emulation (qemu-user, where the kernel runs no
# 32-bit code) take several times as long, and a slow machine is not a failing one.
set(FR_TIMEOUT_FACTOR 1)
if(CMAKE_CROSSCOMPILING AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/wine32-probe.sh --how
    OUTPUT_VARIABLE FR_WINE32_HOW OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(rc EQUAL 0 AND FR_WINE32_HOW MATCHES "^emulated")
    set(FR_TIMEOUT_FACTOR 4)
  endif()
endif()

# fr_test_timeout(name seconds): the test's time-out on a machine that runs it natively.
function(fr_test_timeout name seconds)
  math(EXPR t "${seconds} * ${FR_TIMEOUT_FACTOR}")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${t})
endfunction()

# fr_add_gtest(name LABEL unit|wine|e2e SOURCES ... LIBS ...): a GoogleTest executable run by CTest.
# Cross builds run it under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
function(fr_add_gtest name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  # 77: the 32-bit build on a machine that runs no 32-bit program (cmake/wine-run-i686).
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} SKIP_RETURN_CODE 77)
  fr_test_timeout(${name} 600)
endfunction()
