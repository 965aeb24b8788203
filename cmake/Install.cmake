# Desktop integration and packaging: the desktop entry that opens recordings, the MIME type of
# ".Vibration" files, the icon, the udev rule for the logger's USB bridge, the help page, and a
# Debian package of the four programs.
include(GNUInstallDirs)

set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)
install(FILES ${linux_dir}/shakemeter.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux_dir}/shakemeter-vibration.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${linux_dir}/shakemeter.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${linux_dir}/70-qz810-logger.rules DESTINATION lib/udev/rules.d)
install(FILES ${PROJECT_SOURCE_DIR}/docs/help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/shakemeter/help)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${CMAKE_INSTALL_DATADIR}/shakemeter/help)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/shakemeter/samples
        FILES_MATCHING PATTERN "*.Vibration")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "shakemeter")
set(CPACK_PACKAGE_VENDOR "Shakemeter developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop program for the QZ810 vibration and shock logger")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Shakemeter developers <shakemeter@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
# The libraries the programs link are found by dpkg-shlibdeps when it is there; the desktop
# integration needs the MIME and desktop databases in any case, and the Help command xdg-open.
# The analysis' FFT (kissfft's double-precision template), the command line's parser (CLI11) and
# its JSON (nlohmann-json) are header-only: libkissfft-dev, libcli11-dev and nlohmann-json3-dev are
# needed to build, and the installed programs depend on no library of theirs. The HDF5 export links
# the HDF5 C library (libhdf5-dev to build) and the graph's pictures Qt SVG (qt6-svg-dev); their
# runtime packages are named in both lists, so the package states them even where dpkg-shlibdeps
# is missing.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libhdf5-103-1, libqt6svg6 (>= 6.4), shared-mime-info, desktop-file-utils, xdg-utils")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6svg6 (>= 6.4), libusb-1.0-0 (>= 2:1.0.26), libhdf5-103-1, shared-mime-info, desktop-file-utils, xdg-utils")
endif()
include(CPack)
