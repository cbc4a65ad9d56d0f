# Installs the build into a fresh prefix and checks the portable folder and
# the desktop entry, then builds an installed example with the installed
# lintrelc into the installed Exports/.
# Run as: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -P install_layout.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(folder "${PREFIX}/lintrel")
foreach(program lintrel lintrelc lintrel-lsp)
  if(NOT EXISTS "${folder}/${program}" OR IS_DIRECTORY "${folder}/${program}")
    message(FATAL_ERROR "missing program ${folder}/${program}")
  endif()
endforeach()
foreach(file Portable.txt WhatsNew.txt manual.md window.png editors/lintrel.lua)
  if(NOT EXISTS "${folder}/${file}")
    message(FATAL_ERROR "missing ${folder}/${file}")
  endif()
endforeach()
if(NOT IS_DIRECTORY "${folder}/Exports")
  message(FATAL_ERROR "missing folder ${folder}/Exports")
endif()
file(GLOB exports "${folder}/Exports/*")
if(exports)
  message(FATAL_ERROR "Exports/ is not empty: ${exports}")
endif()

# Every example project lands in Projects/ under the same relative name.
file(GLOB_RECURSE examples RELATIVE "${SOURCE_DIR}/examples" "${SOURCE_DIR}/examples/*.lpj")
if(NOT examples)
  message(FATAL_ERROR "no example projects found in ${SOURCE_DIR}/examples")
endif()
foreach(example ${examples})
  if(NOT EXISTS "${folder}/Projects/${example}")
    message(FATAL_ERROR "example ${example} is missing from ${folder}/Projects")
  endif()
endforeach()

# The desktop entry starts the installed window in its own folder, with an
# icon that exists.
set(entry "${PREFIX}/share/applications/lintrel.desktop")
if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "missing desktop entry ${entry}")
endif()
file(STRINGS "${entry}" lines)
foreach(expected "Type=Application" "Name=Lintrel" "Exec=\"${folder}/lintrel\" %f" "Path=${folder}"
                 "MimeType=text/x-lintrel-project;")
  if(NOT expected IN_LIST lines)
    message(FATAL_ERROR "desktop entry lacks the line ${expected}")
  endif()
endforeach()
list(FILTER lines INCLUDE REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon "${lines}")
if(NOT EXISTS "${icon}")
  message(FATAL_ERROR "the desktop entry's icon ${icon} does not exist")
endif()

# What both layouts share under share/.
foreach(file mime/packages/lintrel.xml man/man1/lintrel.1.gz man/man1/lintrelc.1.gz
             org.kde.syntax-highlighting/syntax/lintrel.xml)
  if(NOT EXISTS "${PREFIX}/share/${file}")
    message(FATAL_ERROR "missing ${PREFIX}/share/${file}")
  endif()
endforeach()
if(EXISTS "${PREFIX}/bin" OR EXISTS "${PREFIX}/share/lintrel")
  message(FATAL_ERROR "the portable install holds parts of the package's layout")
endif()

execute_process(COMMAND "${folder}/lintrelc" "${folder}/Projects/hl2/hello.lpj"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${folder}/Exports/Compiled_HL2.htp")
  message(FATAL_ERROR "the installed lintrelc did not build the installed example: ${output}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
