# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` puts under
# /usr. Its Depends come from dpkg-shlibdeps reading the installed executables, so they follow
# the libraries the build really linked.
set(CPACK_PACKAGE_NAME pixwright)
set(CPACK_PACKAGE_VENDOR "The Pixwright developers")
set(CPACK_PACKAGE_CONTACT "The Pixwright developers <pixwright@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "resize many pictures at once into new JPEG files")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Pixwright resizes and recompresses many pictures at once: a three-step wizard in\n"
       "Simplified Chinese (English texts built in) and the commands pixwright run, rename\n"
       "and info. Every result is a new JPEG in a fresh folder; the sources are never changed.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PW_HOMEPAGE})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in Chinese (the buttons of message boxes, the file dialogs). Debian's Qt reads
# JPEG, PNG and BMP without image-format plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-gtk-platformtheme")
include(CPack)
