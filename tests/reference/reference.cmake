# The reference build and the project generator, shared by the tests, the
# benchmarks and the differential runner.
if(NOT TARGET lintrel_reference)
  add_library(lintrel_reference STATIC
    ${CMAKE_CURRENT_LIST_DIR}/reference_assembler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reference_passes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reference_images.cpp
    ${CMAKE_CURRENT_LIST_DIR}/project_generator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/differential.cpp)
  target_include_directories(lintrel_reference PUBLIC ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(lintrel_reference PUBLIC lintrel_core)
endif()
