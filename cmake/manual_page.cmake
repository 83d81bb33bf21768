# install_manual_page(PAGE [install options...]): installs PAGE, an mdoc page
# of section 1 that lies beside the programs it describes, and a copy of it
# under the name of each further program its NAME section lists
# (".Nm SelectPrpMode" after ".Nm SelectHsrMode ,"), so that `man NAME`
# finds it for every one, wherever the pages go.  Windows has no man: there
# the pages go into doc/ as HTML, linked to each other.  Options such as
# COMPONENT go to install() as given.
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
  list(GET names 0 first)
  if(NOT page MATCHES "(^|/)${first}\\.1$")
    message(FATAL_ERROR "${page} is not named after its first program, ${first}")
  endif()

  if(WIN32)
    find_program(MANDOC mandoc REQUIRED)
    set(html ${CMAKE_CURRENT_BINARY_DIR}/${first}.html)
    add_custom_command(OUTPUT ${html}
      COMMAND ${MANDOC} -T html -O man=%N.html ${CMAKE_CURRENT_SOURCE_DIR}/${page} > ${html}
      DEPENDS ${page})
    add_custom_target(${first}-page ALL DEPENDS ${html})
    set(page ${html})
    set(destination doc)
    set(suffix .html)
  else()
    set(destination ${CMAKE_INSTALL_MANDIR}/man1)
    set(suffix .1)
  endif()
  foreach(name IN LISTS names)
    install(FILES ${page} DESTINATION ${destination} RENAME ${name}${suffix} ${ARGN})
  endforeach()
endfunction()
