# Builds the Debian package from the build folder, unpacks it without root
# (dpkg-deb -x) and checks its name, its Depends line, its tree, the desktop
# entry, the MIME type and the man pages; then runs the unpacked lintrelc on
# an unpacked example as a user of the installed layout would.
# Run as: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK=... -DVERSION=... -P package_deb.cmake
cmake_minimum_required(VERSION 3.20)

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

function(run variable)  # run(<output variable> command...): the command must succeed
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    fail("${ARGN} failed (${result}): ${output}${error}")
  endif()
  set(${variable} "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}/out"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  fail("cpack failed: ${output}")
endif()

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(deb "${WORK}/out/lintrel_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${WORK}/out/*.deb")
  fail("expected ${deb}; cpack made: ${made}")
endif()

# Depends: the libraries the programs link, and Qt's platform plugins.
execute_process(COMMAND dpkg-deb -f "${deb}" Depends OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(package libc6 libstdc\\+\\+6 libgcc-s1 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 qt6-qpa-plugins)
  if(NOT depends MATCHES "(^|, )${package}( \\(>= [^)]+\\))?(,|$)")
    fail("Depends lacks ${package}: ${depends}")
  endif()
endforeach()

set(root "${WORK}/root")
run(ignored dpkg-deb -x "${deb}" "${root}")

# The whole tree, as it must be: nothing outside /usr, no portable marker.
file(GLOB_RECURSE tree LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
list(SORT tree)
set(expected
    usr/bin/lintrel
    usr/bin/lintrel-lsp
    usr/bin/lintrelc
    usr/share/applications/lintrel.desktop
    usr/share/icons/hicolor/128x128/apps/lintrel.png
    usr/share/icons/hicolor/16x16/apps/lintrel.png
    usr/share/icons/hicolor/256x256/apps/lintrel.png
    usr/share/icons/hicolor/32x32/apps/lintrel.png
    usr/share/icons/hicolor/48x48/apps/lintrel.png
    usr/share/icons/hicolor/scalable/apps/lintrel.svg
    usr/share/lintrel/WhatsNew.txt)
file(GLOB_RECURSE examples RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/examples/*")
foreach(example ${examples})
  list(APPEND expected "usr/share/lintrel/${example}")
endforeach()
list(APPEND expected
    usr/share/lintrel/editors/helix-languages.toml
    usr/share/lintrel/editors/kate-lspclient.json
    usr/share/lintrel/editors/lintrel.lua
    usr/share/lintrel/lsp-neovim.png
    usr/share/lintrel/manual.md
    usr/share/lintrel/outline.png
    usr/share/lintrel/rename.png
    usr/share/lintrel/vscode/package.json
    usr/share/lintrel/vscode/syntaxes/lintrel.tmLanguage.json
    usr/share/lintrel/vscode/themes/lintrel-classic-color-theme.json
    usr/share/lintrel/window.png
    usr/share/man/man1/lintrel.1.gz
    usr/share/man/man1/lintrelc.1.gz
    usr/share/mime/packages/lintrel.xml
    usr/share/org.kde.syntax-highlighting/syntax/lintrel.xml)
list(SORT expected)
if(NOT tree STREQUAL expected)
  set(extra ${tree})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${tree})
  fail("package tree differs.\n  missing: ${missing}\n  unexpected: ${extra}")
endif()
foreach(program lintrel lintrelc lintrel-lsp)
  execute_process(COMMAND test -x "${root}/usr/bin/${program}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    fail("usr/bin/${program} is not executable")
  endif()
endforeach()

# The desktop entry starts the program on the PATH for .lpj files.
set(entry "${root}/usr/share/applications/lintrel.desktop")
file(STRINGS "${entry}" lines)
foreach(line "Exec=lintrel %f" "Icon=lintrel" "MimeType=text/x-lintrel-project;" "Type=Application")
  if(NOT line IN_LIST lines)
    fail("desktop entry lacks the line ${line}")
  endif()
endforeach()
find_program(validate desktop-file-validate)
if(validate)
  run(ignored "${validate}" "${entry}")
endif()

# The MIME database built from the package knows *.lpj and the leading &P=.
find_program(update_mime update-mime-database)
if(update_mime)
  # It reports a file it cannot parse and still succeeds, so its messages count.
  execute_process(COMMAND "${update_mime}" "${root}/usr/share/mime" RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0 OR error MATCHES "Failed|error")
    fail("update-mime-database rejects usr/share/mime/packages/lintrel.xml (${result}): ${error}")
  endif()
  file(READ "${root}/usr/share/mime/globs2" globs)
  if(NOT globs MATCHES ":text/x-lintrel-project:\\*\\.lpj")
    fail("the MIME database has no *.lpj glob: ${globs}")
  endif()
  file(READ "${root}/usr/share/mime/magic" magic HEX)
  string(HEX "[50:text/x-lintrel-project]\n>0=" header)
  string(HEX "&P=" value)
  if(NOT magic MATCHES "${header}0003${value}")
    fail("the MIME database has no &P= magic for text/x-lintrel-project")
  endif()
endif()

# The man pages are compressed and render without a warning.
find_program(groff groff)
foreach(page lintrel lintrelc)
  run(text gzip -dc "${root}/usr/share/man/man1/${page}.1.gz")
  if(NOT text MATCHES "^\\.TH ")
    fail("${page}.1.gz is not a man page")
  endif()
  if(groff)
    execute_process(COMMAND gzip -dc "${root}/usr/share/man/man1/${page}.1.gz"
                    COMMAND "${groff}" -man -Tutf8 -ww -z
                    RESULT_VARIABLE result ERROR_VARIABLE warnings)
    if(NOT result EQUAL 0 OR warnings)
      fail("${page}(1) does not render cleanly: ${warnings}")
    endif()
  endif()
endforeach()

# The unpacked lintrelc, as a user with a fresh home folder: Options.ini from
# ~/.config/lintrel, the output under ~/Documents/Lintrel, which it makes.
set(home "${WORK}/home")
file(MAKE_DIRECTORY "${home}")
run(output "${CMAKE_COMMAND}" -E env --unset=XDG_CONFIG_HOME "HOME=${home}"
    "${root}/usr/bin/lintrelc" "${root}/usr/share/lintrel/examples/hl2/hello.lpj")
set(image "${home}/Documents/Lintrel/Exports/Compiled_HL2.htp")
string(FIND "${output}" "${image}\n" at)
if(NOT EXISTS "${image}" OR NOT at EQUAL 0)
  fail("the unpacked lintrelc did not build into ${image}: ${output}")
endif()
if(NOT EXISTS "${home}/Documents/Lintrel/Projects/hl2/hello.lpj")
  fail("the new Projects folder did not get the examples")
endif()
# The same image as the build folder's lintrelc makes.
run(ignored "${BUILD_DIR}/app/lintrelc" --exports "${WORK}" "${SOURCE_DIR}/examples/hl2/hello.lpj")
file(SHA256 "${image}" packaged)
file(SHA256 "${WORK}/Compiled_HL2.htp" built)
if(NOT packaged STREQUAL built)
  fail("the packaged lintrelc built another image than the build folder's")
endif()

file(SIZE "${deb}" size)
execute_process(COMMAND dpkg-deb -f "${deb}" Installed-Size OUTPUT_VARIABLE installed OUTPUT_STRIP_TRAILING_WHITESPACE)
message(STATUS "${deb}: ${size} bytes, Installed-Size ${installed} KiB\nDepends: ${depends}")
file(REMOVE_RECURSE "${WORK}")
