# The window's editor: opening, colouring, typing into and saving a large
# project, offscreen. Included by bench/CMakeLists.txt when the window is built.
if(LINTREL_GUI)
  add_executable(lintrel_window_bench ${CMAKE_CURRENT_LIST_DIR}/window_editor_bench.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/sample_program.cpp)
  set_target_properties(lintrel_window_bench PROPERTIES AUTOMOC ON)
  target_include_directories(lintrel_window_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(lintrel_window_bench PRIVATE lintrel_gui benchmark::benchmark)
endif()
