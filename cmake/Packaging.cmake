# The Debian package, built by scripts/package with CPack from a system install (bin,
# lib/<multiarch>/halvo, share/halvo) below /usr. Its library dependencies are read off the
# binaries by dpkg-shlibdeps; what the binaries load only at run time is named here. It has no
# maintainer scripts: nothing is to be done when it is installed or removed.

if(NOT HALVO_SYSTEM_INSTALL)
    return()
endif()

# What Debian asks of every package's documentation: the licence and a changelog.
set(halvo_doc "${CMAKE_BINARY_DIR}/package-doc")
file(MAKE_DIRECTORY "${halvo_doc}")
file(WRITE "${halvo_doc}/copyright"
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: HALVO
Source: https://www.corvane.example/halvo

Files: *
Copyright: 2026 Corvane Software
License: GPL-3.0-or-later
 This program is free software: you can redistribute it and/or modify it under the terms of
 the GNU General Public License as published by the Free Software Foundation, either version 3
 of the License, or (at your option) any later version.
 .
 This program is distributed in the hope that it will be useful, but WITHOUT ANY WARRANTY;
 without even the implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.
 See the GNU General Public License for more details.
 .
 On Debian systems, the complete text of the GNU General Public License version 3 can be found
 in \"/usr/share/common-licenses/GPL-3\".
")
string(TIMESTAMP halvo_release_date "%a, %d %b %Y 00:00:00 +0000" UTC)
file(WRITE "${halvo_doc}/changelog"
"halvo (${PROJECT_VERSION}) unstable; urgency=medium

  * HALVO ${PROJECT_VERSION} as a Debian package.

 -- Corvane Software <halvo@corvane.example>  ${halvo_release_date}
")
add_custom_command(
    OUTPUT "${halvo_doc}/changelog.gz"
    COMMAND gzip -n -9 -f -k "${halvo_doc}/changelog"
    DEPENDS "${halvo_doc}/changelog")
add_custom_target(package_doc ALL DEPENDS "${halvo_doc}/changelog.gz")
install(FILES "${halvo_doc}/copyright" "${halvo_doc}/changelog.gz"
        DESTINATION share/doc/halvo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvane Software")
set(CPACK_PACKAGE_CONTACT "Corvane Software <halvo@corvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "record keeper for rental property owners")
# CPack puts the summary above this as the synopsis line.
set(CPACK_PACKAGE_DESCRIPTION
"HALVO keeps, in one encrypted database file, a landlord's properties and
owners, tenants and leases, mortgage loans, insurance policies, vendors,
dated notes, and a ledger of income and expenses. It shows live portfolio
totals, prints reports with a preview, and backs up its database.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvane.example/halvo")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${HALVO_PROGRAM_DIR}")
# Loaded by Qt at run time, so no binary names them: the desktop's window system plugins, and
# the fonts the reports are laid out with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
