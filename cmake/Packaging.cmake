# The Debian package (scripts/package-deb): vesk_<version>_amd64.deb, installing into
# /usr. Library dependencies come from dpkg-shlibdeps; the Japanese font of the dialog
# and Qt's Japanese texts (はい/いいえ, the folder chooser), which nothing links, are
# named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vesk developers <vesk@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assembles exhibition packages for a 3-D scene viewer")
set(CPACK_PACKAGE_DESCRIPTION
    "Vesk lists entries (a scene, a landscape thumbnail and a portrait description\n\
picture), orders them and creates an exhibition package: numbered entry folders with\n\
every file a scene needs, the menu's button images and one combined document,\n\
exhibition.nuv, with a paged thumbnail menu. An earlier package can be read back\n\
for editing. The package holds the Japanese dialog vesk and the command-line tool\n\
vesk-cli.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET vesk)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n")
endif()
include(CPack)
