# The Debian package, built by `cpack -G DEB` in a configured build folder
# (scripts/package does it all): fjl-restore_<version>_<arch>.deb.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

set(FJL_PACKAGE_MAINTAINER "FJL Restore developers <fjl-restore@example.org>" CACHE STRING
    "Maintainer field of the Debian package: Name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fjl-restore)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "FJL Restore developers")
set(CPACK_PACKAGE_CONTACT ${FJL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Installed folders get 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "electronic control tape recovery for fiscal printers")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A tool for the service engineer of a Varkon KM-L710 or KM-5820L fiscal
printer. Over an RS-232 line it downloads the electronic control tape the
printer keeps in flash and the auxiliary data (articles, departments, units,
comments), restores the tape as the text a paper control tape would carry,
and saves it as a Windows-1251 FJL file.

The package holds three programs:
 * fjl-restore, a three-step wizard (Qt 6) with Russian captions;
 * fjl-restore-cli, the same steps on the command line;
 * fjl-printer-sim, a simulated printer to try both without hardware.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${FJL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (the save dialog) speak Russian with its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
