# The Debian package (scripts/package.sh builds it; `cpack -G DEB` in the
# build folder does the same). It holds what `cmake --install` installs under
# /usr; dpkg-shlibdeps finds the libraries the programs need.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillbox-reader)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillbox Reader developers")
set(CPACK_PACKAGE_CONTACT "Quillbox Reader developers <quillbox-reader@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read-only viewer for Quillbox note files (.qbx)")
# The summary above is the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillbox Reader opens Quillbox data files: free-form databases of notes\n\
with keywords, keyword groups, bookmarks, saved queries, attachments, links\n\
and password-protected private articles. It browses, searches, exports and\n\
prints them and never writes to them. The package holds the desktop reader\n\
(quillbox-reader), the command-line tool qbx, their manual pages, the user\n\
guide and a demo file.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quillbox-reader)
# Installed into the staging folder through DESTDIR, so that the install
# step leaves the system's MIME and desktop databases alone; the prefix is
# then CPACK_INSTALL_PREFIX, whatever the build's own install prefix is.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts: the offscreen and plain X11 platforms have no font of their own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
