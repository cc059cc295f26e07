# The Debian package: `cpack -G DEB` in a build folder makes kestrovane_<version>_<arch>.deb
# from what `cmake --install` puts in place; dpkg-shlibdeps finds the runtime libraries.
set(CPACK_PACKAGE_NAME kestrovane)
set(CPACK_PACKAGE_VENDOR Zintu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bookmark bar with ten folders of ten bookmarks")
set(CPACK_PACKAGE_DESCRIPTION
	"A nice application to organize up to 100 bookmarks in 10 different categories. \
Kestrovane is a small always-present bar with ten folder buttons; bookmarks are \
ordinary files with their URL in extended attributes. Comes with KVImporter, which \
imports the Opera browser's bookmarks, kvbookmarks, which lists, files, opens, imports \
(Firefox, Chromium, HTML) and exports bookmarks from the shell, and kvsend, which sends \
messages to the bar.")
set(CPACK_PACKAGE_CONTACT "Kestrovane developers <kestrovane@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening links goes through the desktop's defaults; text needs some font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
