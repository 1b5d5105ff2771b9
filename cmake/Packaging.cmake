# A Debian package of what dist/CMakeLists.txt installs (scripts/package.sh builds it):
# vandrel-monitor_<version>_<arch>.deb. Its library dependencies are found by dpkg-shlibdeps
# from the programs themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vandrel-monitor)
set(CPACK_PACKAGE_VENDOR Norvex)
set(CPACK_PACKAGE_CONTACT "Norvex Vandrel Monitor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reads and shows an inverter's fault trace")
set(CPACK_PACKAGE_DESCRIPTION "Vandrel Monitor finds out why a motor drive (an inverter) tripped.
It reads the fault trace over a serial line or from a trace file (.vnx, .vnb)
and shows it as graphs, a bit graph and a table, in Japanese and English.
With vandrel-trace, the same from the command line, and vandrel-drive-sim,
a simulated drive on a pseudo-terminal.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# A plugin, so not found by dpkg-shlibdeps: the SQLite driver the trace history's index needs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# Not libraries, so not found by dpkg-shlibdeps: the fonts that Japanese and the fixed-width
# texts are drawn with, and the Japanese texts on Qt's standard buttons.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://norvex.example/vandrel-monitor/")
include(CPack)
