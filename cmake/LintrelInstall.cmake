# Site settings of the window, the portable install and the Debian package.
#
# `cmake --install <build> --prefix DIR` lays out
#   DIR/lintrel/            the portable folder: lintrel, lintrelc, lintrel-lsp
#                           (the language server, a link to lintrelc), editors/,
#                           Portable.txt,
#                           WhatsNew.txt, manual.md, docs/, Exports/ (empty),
#                           Projects/ (the examples); Options.ini appears here
#                           at the first close
#   DIR/share/applications/lintrel.desktop   starts DIR/lintrel/lintrel in that folder
#   DIR/share/...           icons, the MIME type, the man pages and the
#                           highlighting definition for KDE's editors
# With DIR = ~/.local (or any folder of XDG_DATA_DIRS) Lintrel shows up in the
# desktop menu. The folder must stay writable: Options.ini and Exports/ live there.
#
# `cpack -G DEB` (config in the build folder) packs the installed layout for
# /usr instead: the programs in bin/, the shipped files in share/lintrel/, no
# Portable.txt, so the programs keep the user's files in the home folder
# (src/system/install_layout.h).

set(LINTREL_UPDATE_SERVER "" CACHE STRING
    "Update server (http://host:port) asked for the current version at every start; empty: no version check")
set(LINTREL_MANUAL_ADDRESS "" CACHE STRING
    "Web address of the user manual opened by Help > User manual; empty: the manual.md beside the program")
set(LINTREL_INSTALL_FOLDER "lintrel" CACHE STRING "Folder under the install prefix that holds the portable program")
set(LINTREL_PACKAGE_MAINTAINER "VELTMARK Studio <lintrel@veltmark.invalid>" CACHE STRING
    "Maintainer field of the Debian package")

if(TARGET lintrel_gui)
  # The source tree's docs/ is where a program run from the build folder finds its manual.
  target_compile_definitions(lintrel_gui PRIVATE
    "LINTREL_UPDATE_SERVER=\"${LINTREL_UPDATE_SERVER}\""
    "LINTREL_MANUAL_ADDRESS=\"${LINTREL_MANUAL_ADDRESS}\""
    "LINTREL_SOURCE_DOCS=\"${PROJECT_SOURCE_DIR}/docs\"")
endif()

# Three components. Portable: the folder. Shared: what both layouts put under
# share/. Package: the /usr layout, left out of a plain `cmake --install`.
set(package COMPONENT package EXCLUDE_FROM_ALL)
set(data ${PROJECT_SOURCE_DIR}/data)

set(folder ${LINTREL_INSTALL_FOLDER})
install(TARGETS lintrelc RUNTIME DESTINATION ${folder})
install(FILES ${data}/Portable.txt ${PROJECT_SOURCE_DIR}/WhatsNew.txt DESTINATION ${folder})
# The manual's picture beside it, where the manual's window looks for it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/manual.md ${PROJECT_SOURCE_DIR}/docs/window.png
              ${PROJECT_SOURCE_DIR}/docs/outline.png ${PROJECT_SOURCE_DIR}/docs/rename.png
              ${PROJECT_SOURCE_DIR}/docs/lsp-neovim.png DESTINATION ${folder})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${folder}/docs)
install(DIRECTORY DESTINATION ${folder}/Exports)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${folder}/Projects)

install(TARGETS lintrelc RUNTIME DESTINATION bin ${package})
install(FILES ${PROJECT_SOURCE_DIR}/WhatsNew.txt ${PROJECT_SOURCE_DIR}/docs/manual.md
              ${PROJECT_SOURCE_DIR}/docs/window.png ${PROJECT_SOURCE_DIR}/docs/outline.png
              ${PROJECT_SOURCE_DIR}/docs/rename.png ${PROJECT_SOURCE_DIR}/docs/lsp-neovim.png
              DESTINATION share/lintrel ${package})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION share/lintrel ${package})
install(DIRECTORY ${data}/highlighting/vscode DESTINATION share/lintrel ${package})

# The language server under the name the editors' settings start, in both
# layouts: a link to lintrelc, which serves when started by that name.
install(CODE "file(CREATE_LINK lintrelc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${folder}/lintrel-lsp\" SYMBOLIC)")
install(DIRECTORY ${data}/editors DESTINATION ${folder})
install(CODE "file(CREATE_LINK lintrelc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/lintrel-lsp\" SYMBOLIC)" ${package})
install(DIRECTORY ${data}/editors DESTINATION share/lintrel ${package})

# Man pages, compressed as Debian ships them (no name or time inside, so the
# package is the same from build to build).
foreach(page lintrel lintrelc)
  set(compressed ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                     COMMAND gzip -9 -n -c ${data}/man/${page}.1 > ${compressed}
                     DEPENDS ${data}/man/${page}.1 VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION share/man/man1 COMPONENT shared)
install(FILES ${data}/lintrel-mime.xml DESTINATION share/mime/packages RENAME lintrel.xml COMPONENT shared)
install(FILES ${data}/highlighting/lintrel.xml DESTINATION share/org.kde.syntax-highlighting/syntax COMPONENT shared)

if(TARGET lintrel)
  install(TARGETS lintrel RUNTIME DESTINATION ${folder})
  install(TARGETS lintrel RUNTIME DESTINATION bin ${package})
  install(FILES ${data}/icons/lintrel.svg DESTINATION share/icons/hicolor/scalable/apps COMPONENT shared)
  foreach(size 16 32 48 128 256)
    install(FILES ${data}/icons/lintrel-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME lintrel.png COMPONENT shared)
  endforeach()

  # The package's entry starts the program on the PATH with the themed icon.
  set(LINTREL_EXEC lintrel)
  set(LINTREL_ICON lintrel)
  configure_file(${data}/lintrel.desktop.in ${PROJECT_BINARY_DIR}/package/lintrel.desktop @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/package/lintrel.desktop DESTINATION share/applications ${package})

  # The portable entry names absolute paths, so it is written at install
  # time, when the prefix is known (also one given by --prefix); it starts
  # the program in its own folder.
  install(CODE "
    get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    set(LINTREL_EXEC \"\\\"\${prefix}/${folder}/lintrel\\\"\")
    set(LINTREL_ICON \"\${prefix}/share/icons/hicolor/256x256/apps/lintrel.png\")
    set(entry \"\$ENV{DESTDIR}\${prefix}/share/applications/lintrel.desktop\")
    message(STATUS \"Installing: \${entry}\")
    configure_file(\"${data}/lintrel.desktop.in\" \"\${entry}\" @ONLY)
    file(APPEND \"\${entry}\" \"Path=\${prefix}/${folder}\\n\")
  ")

  include(LintrelPackage)
endif()
