# Included by a component's install script, with bindir, sysconfdir and
# unitdir set as configured: each made absolute, under the prefix of this
# install where it is not.
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
