# Site settings of the window and the portable install.
#
# `cmake --install <build> --prefix DIR` lays out
#   DIR/lintrel/            the portable folder: lintrel, lintrelc, WhatsNew.txt,
#                           manual.md, docs/, Exports/ (empty), Projects/ (the examples);
#                           Options.ini appears here at the first close
#   DIR/share/applications/lintrel.desktop   starts DIR/lintrel/lintrel in that folder
#   DIR/share/icons/hicolor/<size>/apps/lintrel.{png,svg}
# With DIR = ~/.local (or any folder of XDG_DATA_DIRS) Lintrel shows up in the
# desktop menu. The folder must stay writable: Options.ini and Exports/ live there.

set(LINTREL_UPDATE_SERVER "" CACHE STRING
    "Update server (http://host:port) asked for the current version at every start; empty: no version check")
set(LINTREL_MANUAL_ADDRESS "" CACHE STRING
    "Web address of the user manual opened by Help > User manual; empty: the manual.md beside the program")
set(LINTREL_INSTALL_FOLDER "lintrel" CACHE STRING "Folder under the install prefix that holds the portable program")

if(TARGET lintrel_gui)
  # The source tree's docs/ is where a program run from the build folder finds its manual.
  target_compile_definitions(lintrel_gui PRIVATE
    "LINTREL_UPDATE_SERVER=\"${LINTREL_UPDATE_SERVER}\""
    "LINTREL_MANUAL_ADDRESS=\"${LINTREL_MANUAL_ADDRESS}\""
    "LINTREL_SOURCE_DOCS=\"${PROJECT_SOURCE_DIR}/docs\"")
endif()

set(folder ${LINTREL_INSTALL_FOLDER})
install(TARGETS lintrelc RUNTIME DESTINATION ${folder})
install(FILES ${PROJECT_SOURCE_DIR}/WhatsNew.txt DESTINATION ${folder})
install(FILES ${PROJECT_SOURCE_DIR}/docs/manual.md DESTINATION ${folder} OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${folder}/docs)
install(DIRECTORY DESTINATION ${folder}/Exports)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${folder}/Projects)

if(TARGET lintrel)
  install(TARGETS lintrel RUNTIME DESTINATION ${folder})
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/lintrel.svg DESTINATION share/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/lintrel-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME lintrel.png)
  endforeach()
  # The entry names absolute paths, so it is written at install time, when
  # the prefix is known (also one given by --prefix).
  install(CODE "
    get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    set(LINTREL_FOLDER \"\${prefix}/${folder}\")
    set(LINTREL_ICON \"\${prefix}/share/icons/hicolor/256x256/apps/lintrel.png\")
    set(entry \"\$ENV{DESTDIR}\${prefix}/share/applications/lintrel.desktop\")
    message(STATUS \"Installing: \${entry}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/data/lintrel.desktop.in\" \"\${entry}\" @ONLY)
  ")
endif()
