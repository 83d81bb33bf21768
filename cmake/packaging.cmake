# Windows packages, made by cpack in the build folder: a zip of the programs
# with the license and a read-me, and a zip of the stand-ins.  (The MSI is
# made from the programs' install by scripts/package.sh; Debian's packages by
# debian/.)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT standins EXCLUDE_FROM_ALL)
install(FILES packaging/windows/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs standins)
set(CPACK_ARCHIVE_PROGRAMS_FILE_NAME prp-hsr-tools-${PROJECT_VERSION}-windows-x64)
set(CPACK_ARCHIVE_STANDINS_FILE_NAME prp-hsr-standins-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
