# What `cmake --install` writes, all of it below the chosen prefix (and DESTDIR):
#   lib/vesk/             the programs with the button images: their program folder
#   bin/vesk, bin/vesk-cli  relative links into lib/vesk
#   share/vesk/sample/    the sample exhibition of `vesk-cli demo`
#   share/applications/, share/metainfo/, share/icons/hicolor/, share/man/man1/
set(VESK_APP_ID org.vesk.Vesk)

install(FILES ${CMAKE_SOURCE_DIR}/data/up.jpg ${CMAKE_SOURCE_DIR}/data/down.jpg
        DESTINATION ${VESK_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/sample/ DESTINATION ${VESK_INSTALL_SAMPLE_DIR})

# The links are made in the build tree and installed as links, so that they point
# into lib/vesk relative to wherever bin/ ends up.
set(VESK_INSTALLED_PROGRAMS vesk-cli)
if(TARGET vesk)
  list(APPEND VESK_INSTALLED_PROGRAMS vesk)
endif()
install(TARGETS ${VESK_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${VESK_INSTALL_PROGRAM_DIR})
file(RELATIVE_PATH _vesk_bin_to_programs /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VESK_INSTALL_PROGRAM_DIR})
foreach(program IN LISTS VESK_INSTALLED_PROGRAMS)
  set(link ${CMAKE_BINARY_DIR}/install-links/${program})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
  file(CREATE_LINK ${_vesk_bin_to_programs}/${program} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# Manual pages, with the version filled in.
set(VESK_MAN_PAGES vesk-cli.1)
if(TARGET vesk)
  list(APPEND VESK_MAN_PAGES vesk.1)
endif()
foreach(page IN LISTS VESK_MAN_PAGES)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# Desktop integration of the dialog: menu entry, AppStream metainfo and icons.
if(TARGET vesk)
  set(linux ${CMAKE_SOURCE_DIR}/data/linux)
  install(FILES ${linux}/${VESK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${linux}/${VESK_APP_ID}.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/metainfo/${VESK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/metainfo/${VESK_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY ${linux}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# The operators' guide with its pictures.
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.ja.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR})
