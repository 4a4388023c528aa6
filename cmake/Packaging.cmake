# The Debian package: `cmake --build build --target deb`, or `cpack -G DEB` in the build folder,
# writes chequeprint_VERSION_ARCH.deb from the install rules. scripts/check-package.sh checks it
# (lintian, then installed, run and removed again).

set(CHEQUEPRINT_MAINTAINER "chequeprint maintainers <maintainers@users.noreply.c-seed-99034b3f.example>"
  CACHE STRING "The package's maintainer: name <address>")
# Where the software centre finds the project and the screenshots of docs/screenshots
# (HOMEPAGE/screenshots/NAME.png). The project has no web home yet: set this when the pictures
# are published.
set(CHEQUEPRINT_HOMEPAGE "https://chequeprint.example" CACHE STRING "The project's web address")

# The software centre's entry, and what a Debian package carries in its documentation folder:
# the copyright file (the licence), the changelog and a short README.
configure_file(${PROJECT_SOURCE_DIR}/resources/chequeprint.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/chequeprint.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/chequeprint.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9n --stdout ${PROJECT_SOURCE_DIR}/resources/package/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/package/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog})
install(FILES ${PROJECT_SOURCE_DIR}/resources/package/copyright
              ${PROJECT_SOURCE_DIR}/resources/package/README
              ${changelog}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chequeprint)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CHEQUEPRINT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CHEQUEPRINT_HOMEPAGE}")
file(READ ${PROJECT_SOURCE_DIR}/resources/package/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
# The libraries it links come from dpkg-shlibdeps; what it loads at run time comes here: the
# SQLite driver, the SVG plugins that draw the title and the icon, the Chinese of Qt's own
# dialogs and the Song face (宋体) of the shipped format. The Kai and Hei faces and the driver
# of a shared database are only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n, fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, fonts-arphic-ukai, fonts-wqy-zenhei")
include(CPack)

# `cmake --build build --target deb`: the package, building only what it holds (CPack's own
# `package` target builds the tests and benchmarks too).
add_custom_target(deb COMMAND ${CMAKE_CPACK_COMMAND} -G DEB
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR} USES_TERMINAL VERBATIM)
add_dependencies(deb chequeprint manual_page package_changelog)
