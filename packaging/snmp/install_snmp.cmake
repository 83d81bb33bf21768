# Run by the SNMP component's install, with source, build, bindir,
# sysconfdir and unitdir set.
include("${CMAKE_CURRENT_LIST_DIR}/../install_folders.cmake")

set(AGENT "${bindir}/prp-hsr-agentx")
set(DEFAULT_FILE "${sysconfdir}/default/prp-hsr-snmp")
configure_file("${source}/prp-hsr-snmp.service.in" "${build}/prp-hsr-snmp.service" @ONLY)
# file(INSTALL) puts DESTDIR before each destination.
set(mode PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL "${build}/prp-hsr-snmp.service" DESTINATION "${unitdir}" ${mode})
file(INSTALL "${source}/prp-hsr-snmp.default" DESTINATION "${sysconfdir}/default"
  RENAME prp-hsr-snmp ${mode})
