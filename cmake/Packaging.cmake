# `make package`: a Debian package of the installed files. Its dependencies
# are the shared libraries the program links (found by dpkg-shlibdeps) and
# the Qt plugins it loads at run time, which no linker sees.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME beatwise)
set(CPACK_PACKAGE_VENDOR "The Beatwise developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "echo delays, modulation rates and song lengths from a tempo")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Beatwise developers <beatwise@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${BEATWISE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Beatwise is a small calculator for musicians and recording engineers.
From a tempo in beats per minute it gives echo delays in milliseconds for
note lengths and for twenty multi-tap multipliers of your own, the rate in
hertz of a modulation effect, and a song's length as a time and as bars and
beats in six time signatures. A tempo can be typed, stepped, slid, tapped
in, or measured by counting the beats of a playing song.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The window-system plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
