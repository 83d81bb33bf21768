# Run by the SNMP component's install, with source, build, bindir,
# sysconfdir and unitdir set: the folders as configured, each absolute or
# under the prefix of this install, as the exporter's install has them.
foreach(folder IN ITEMS bindir sysconfdir unitdir)
  set(path "${${folder}}")
  if(NOT IS_ABSOLUTE "${path}")
    if(path MATCHES "^etc(/|$)" AND CMAKE_INSTALL_PREFIX MATCHES "^/(usr/?)?$")
      set(path "/${path}") # as GNUInstallDirs has it: /usr's configuration in /etc
    else()
      set(path "${CMAKE_INSTALL_PREFIX}/${path}")
    endif()
  endif()
  set(${folder} "${path}")
endforeach()

set(AGENT "${bindir}/prp-hsr-agentx")
set(DEFAULT_FILE "${sysconfdir}/default/prp-hsr-snmp")
configure_file("${source}/prp-hsr-snmp.service.in" "${build}/prp-hsr-snmp.service" @ONLY)
# file(INSTALL) puts DESTDIR before each destination.
set(mode PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL "${build}/prp-hsr-snmp.service" DESTINATION "${unitdir}" ${mode})
file(INSTALL "${source}/prp-hsr-snmp.default" DESTINATION "${sysconfdir}/default"
  RENAME prp-hsr-snmp ${mode})
