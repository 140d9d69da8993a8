# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when a file under src/ includes a header from a layer it may not use. Run as
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
# Each folder may use itself and the folders listed for it; the list mirrors the link graph
# in src/*/CMakeLists.txt, so an include that the links would not support is caught here.
cmake_minimum_required(VERSION 3.25)

set(allowed_core core)
set(allowed_base core base)
set(allowed_platform core base platform)
set(allowed_widgets widgets)
set(allowed_password core base widgets password)
set(allowed_delivery core base platform widgets delivery)
set(allowed_matrix core base platform widgets password delivery matrix)
set(allowed_app core base platform widgets password delivery matrix app)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(violations "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" layer "${source}")
    if(NOT DEFINED allowed_${layer})
        string(APPEND violations "\n  ${source}: folder ${layer} has no place in the layers")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^/\"]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^/\"]+)/.*$" "\\1" used "${line}")
        if(NOT used IN_LIST allowed_${layer})
            string(APPEND violations "\n  ${source}: ${layer} may not include ${used}/ (${line})")
        endif()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Includes against the layers:${violations}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to the layers")
