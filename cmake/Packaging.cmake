# `make package`: a Debian package of the installed files. Its dependencies
# are the shared libraries the program links (found by dpkg-shlibdeps) and
# the Qt plugins it loads at run time, which no linker sees.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME beatwise)
set(CPACK_PACKAGE_VENDOR "The Beatwise developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
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

# What Debian asks of every package: the licences in its machine-readable
# form, and the package's history, compressed as dpkg expects.
set(doc_folder ${CMAKE_INSTALL_DATADIR}/doc/beatwise)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
beatwise_gzip(${PROJECT_BINARY_DIR}/debian/changelog.Debian ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_target(beatwise_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    DESTINATION ${doc_folder})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME beatwise)

include(CPack)
