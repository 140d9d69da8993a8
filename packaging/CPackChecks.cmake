# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Read by cpack before it makes a package. The Debian package's dependencies are computed
# from the binaries by dpkg-shlibdeps, which runs dpkg and file: without them cpack only warns
# and makes a package that names none of the Qt libraries and then fails to start.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_DEBIAN_PACKAGE_SHLIBDEPS)
    foreach(tool dpkg-shlibdeps dpkg file)
        # As dpkg-shlibdeps finds its helpers: on PATH only.
        find_program(found_${tool} ${tool} NO_CACHE NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH
                     NO_CMAKE_SYSTEM_PATH NO_CMAKE_INSTALL_PREFIX)
        if(NOT found_${tool})
            message(FATAL_ERROR
                "${tool} is not on PATH, so the package's dependencies cannot be computed. "
                "Install the Debian packages dpkg-dev and file (apt-get install dpkg-dev file).")
        endif()
    endforeach()
endif()
