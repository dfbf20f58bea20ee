# `make package`: a Debian package that installs under /usr, so that
# `tiltshift` is on the PATH and ffmpeg and melt find the frei0r module in
# /usr/lib/frei0r-1 without FREI0R_PATH. Dependencies are read from the
# binaries by dpkg-shlibdeps (dpkg-dev).
if(APPLE OR NOT NEREVO_BUILD_HOST)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nerevo-tiltshift)
set(CPACK_PACKAGE_VENDOR Nerevo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tilt-shift miniature look for images and video")
set(CPACK_PACKAGE_DESCRIPTION
  "The NerevoTiltShift effect on the command line (tiltshift) and as a frei0r filter for ffmpeg, MLT (melt, Kdenlive, Shotcut) and GStreamer, with its Kdenlive description.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian requires a name and an address here.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Nerevo maintainers <maintainers@nerevo.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
