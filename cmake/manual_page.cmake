# install_manual_page(PAGE [install options...]): installs PAGE, an mdoc page
# of section 1 that lies beside the programs it describes, and a copy of it
# under the name of each further program its NAME section lists
# (".Nm SelectPrpMode" after ".Nm SelectHsrMode ,"), so that `man NAME`
# finds it for every one, wherever the pages go.  Options such as COMPONENT
# go to install() as given.
function(install_manual_page page)
  file(STRINGS ${page} lines REGEX "^\\.(Nm [^ ]+|Nd)")
  set(names)
  foreach(line IN LISTS lines)
    if(line MATCHES "^\\.Nd")
      break()
    endif()
    string(REGEX REPLACE "^\\.Nm ([^ ]+).*" "\\1" name "${line}")
    list(APPEND names ${name})
  endforeach()
  list(POP_FRONT names first)
  if(NOT page MATCHES "(^|/)${first}\\.1$")
    message(FATAL_ERROR "${page} is not named after its first program, ${first}")
  endif()

  set(destination ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${page} DESTINATION ${destination} ${ARGN})
  foreach(name IN LISTS names)
    install(FILES ${page} DESTINATION ${destination} RENAME ${name}.1 ${ARGN})
  endforeach()
endfunction()
