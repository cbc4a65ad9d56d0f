# The Debian package: `cpack -G DEB` in the build folder writes
# lintrel_<version>_<arch>.deb with the installed layout under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lintrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VELTMARK Studio")
set(CPACK_PACKAGE_CONTACT "${LINTREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "BASIC development environment for 8-bit home computers")
set(CPACK_PACKAGE_DESCRIPTION [[Lintrel edits BASIC programs without line numbers, with labels and byte
literals, and compiles them into tape and program images for the Homelab 2
and 3, the Primo, the HT-1080Z, the TVC, the ABC 80 and a generic BASIC.
The package holds the window (lintrel) and the command-line compiler
(lintrelc).]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only the /usr layout and what both layouts share: no portable folder.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};package;/;${PROJECT_BINARY_DIR};${PROJECT_NAME};shared;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library packages come from dpkg-shlibdeps, which reads the programs'
# libraries; the window also needs a platform plugin to open at all, which
# Qt's GUI library only recommends.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
find_program(LINTREL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LINTREL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  # As dpkg-shlibdeps finds them on Debian 12.
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libc6 (>= 2.34), libgcc-s1 (>= 3.0), libqt6core6 (>= 6.4.0)"
         ", libqt6gui6 (>= 6.1.2), libqt6network6 (>= 6.1.2), libqt6widgets6 (>= 6.3.0), libstdc++6 (>= 11)")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
