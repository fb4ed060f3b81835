# varnoke_install_man_page(<name>): the man page docs/man/<name> with the
# version and date of the release filled in (man/<name> in the build
# folder, where the tests read it), compressed as Debian keeps man pages
# (gzip -9n: no name, no time stamp) and installed into man1.
function(varnoke_install_man_page name)
  set(filled ${PROJECT_BINARY_DIR}/man/${name})
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${name} ${filled} @ONLY)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${filled} ${compressed}
    DEPENDS ${filled}
    VERBATIM
    COMMENT "Compressing the man page ${name}")
  add_custom_target(man_${name} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
