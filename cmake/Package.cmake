# The Debian package: `cpack -G DEB` in the build folder makes
# varnoke_<version>_<arch>.deb of everything `cmake --install` installs, with
# the dependencies dpkg-shlibdeps finds in the binaries.
set(CPACK_PACKAGE_NAME varnoke)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnoke")
set(CPACK_PACKAGE_CONTACT "Varnoke maintainers <maintainers@users.noreply.c-seed-b1850caf.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tab-structured text to a small HTML manual")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnoke turns a plain text file into a small HTML manual: a body page or one
page per main heading, a menu page linking every heading, a title page, a
frame set and three style sheets made from named styles. Leading tabs carry
the structure of the text. The pages are HTML 4.01 in Shift-JIS.
.
This package holds the window (varnoke), with its editor, live preview and
style editor, and the command-line tool (varnoke-build), which builds the same
manual without a window and rebuilds it on every save with --watch.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VARNOKE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Japanese user interface needs a font with kanji and kana.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")

include(CPack)
