# One test executable per call; each runs as one CTest entry.
find_package(GTest REQUIRED)

function(lintrel_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE lintrel_core GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS core
    ENVIRONMENT "LINTREL_SOURCE_DIR=${PROJECT_SOURCE_DIR};LINTREL_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

function(lintrel_add_qttest name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE lintrel_gui Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LINTREL_SOURCE_DIR=${PROJECT_SOURCE_DIR};LINTREL_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
