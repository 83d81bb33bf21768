# Run by the exporter component's install, with source, build, bindir,
# sysconfdir and unitdir set: the folders as configured, each absolute or
# under the prefix of this install.
function(under_prefix variable)
  set(path "${${variable}}")
  if(NOT IS_ABSOLUTE "${path}")
    if(path MATCHES "^etc(/|$)" AND CMAKE_INSTALL_PREFIX MATCHES "^/(usr/?)?$")
      set(path "/${path}") # as GNUInstallDirs has it: /usr's configuration in /etc
    else()
      set(path "${CMAKE_INSTALL_PREFIX}/${path}")
    endif()
  endif()
  set(${variable} "${path}" PARENT_SCOPE)
endfunction()
foreach(folder IN ITEMS bindir sysconfdir unitdir)
  under_prefix(${folder})
endforeach()

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
