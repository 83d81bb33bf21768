# Run by the exporter component's install, with source, build, bindir,
# sysconfdir and unitdir set.
include("${CMAKE_CURRENT_LIST_DIR}/../install_folders.cmake")

set(WATCHBOARDS "${bindir}/WatchBoards")
set(DEFAULT_FILE "${sysconfdir}/default/prp-hsr-exporter")
set(NAMES_FILE "${sysconfdir}/prp-hsr/boards")
configure_file("${source}/prp-hsr-exporter.service.in" "${build}/prp-hsr-exporter.service" @ONLY)
configure_file("${source}/prp-hsr-exporter.default.in" "${build}/prp-hsr-exporter.default" @ONLY)
# file(INSTALL) puts DESTDIR before each destination.
set(mode PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL "${build}/prp-hsr-exporter.service" DESTINATION "${unitdir}" ${mode})
file(INSTALL "${build}/prp-hsr-exporter.default" DESTINATION "${sysconfdir}/default"
  RENAME prp-hsr-exporter ${mode})
file(INSTALL "${source}/boards" DESTINATION "${sysconfdir}/prp-hsr" ${mode})
