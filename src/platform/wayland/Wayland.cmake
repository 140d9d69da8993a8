# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Included by the platform folder, so that the generated protocol code belongs to its
# library. The Wayland backends: typing through a virtual keyboard (wlroots compositors) and the
# clipboard kept after exit by a helper. Chosen at run time by PlatformFactory.
find_package(Qt6 REQUIRED COMPONENTS WaylandClient)
find_package(PkgConfig REQUIRED)
pkg_check_modules(WaylandClient REQUIRED IMPORTED_TARGET wayland-client)

target_sources(glyphlock_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboard.cpp ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboard.h
    ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyPlan.cpp ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyPlan.h
    ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboardPlatform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboardPlatform.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandClipboardKeeper.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WaylandClipboardKeeper.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandGlobals.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandGlobals.h
)
qt6_generate_wayland_protocol_client_sources(glyphlock_platform
    FILES ${CMAKE_CURRENT_LIST_DIR}/protocols/virtual-keyboard-unstable-v1.xml)
target_compile_definitions(glyphlock_platform PRIVATE GLYPHLOCK_HAVE_WAYLAND)
target_link_libraries(glyphlock_platform PRIVATE PkgConfig::WaylandClient)

# Serves the clipboard after Glyphlock has ended; Glyphlock finds it beside its own executable.
add_executable(glyphlock-wl-clipboard ${CMAKE_CURRENT_LIST_DIR}/clipboard/main.cpp)
qt6_generate_wayland_protocol_client_sources(glyphlock-wl-clipboard
    FILES ${CMAKE_CURRENT_LIST_DIR}/protocols/wlr-data-control-unstable-v1.xml)
target_link_libraries(glyphlock-wl-clipboard PRIVATE PkgConfig::WaylandClient Qt6::Core
    glyphlock_warnings)
set_target_properties(glyphlock-wl-clipboard PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
install(TARGETS glyphlock-wl-clipboard RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
add_dependencies(glyphlock_platform glyphlock-wl-clipboard)

# Typing through the remote-desktop portal of GNOME and KDE, checked against the keymap.
find_package(Qt6 REQUIRED COMPONENTS DBus)
pkg_check_modules(XkbCommon REQUIRED IMPORTED_TARGET xkbcommon)
target_sources(glyphlock_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LayoutKeysyms.cpp ${CMAKE_CURRENT_LIST_DIR}/LayoutKeysyms.h
    ${CMAKE_CURRENT_LIST_DIR}/PortalPickerPlatform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortalPickerPlatform.h
    ${CMAKE_CURRENT_LIST_DIR}/PortalSession.cpp ${CMAKE_CURRENT_LIST_DIR}/PortalSession.h
    ${CMAKE_CURRENT_LIST_DIR}/RestoreTokenStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RestoreTokenStore.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandKeymap.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandKeymap.h
)
target_compile_definitions(glyphlock_platform PRIVATE GLYPHLOCK_HAVE_PORTAL)
target_link_libraries(glyphlock_platform PUBLIC Qt6::DBus PRIVATE PkgConfig::XkbCommon)
