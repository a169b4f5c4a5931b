# Linux backend: D-Bus through Qt's D-Bus module, X11 through XCB, Wayland's idle notifications through
# libwayland-client, processes and counters through /proc.
find_package(Qt6 REQUIRED COMPONENTS Core DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-screensaver xcb-randr)
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
find_package(PlasmaWaylandProtocols REQUIRED)
enable_language(C)

# The Wayland protocols' client code, generated from the protocol descriptions. The server
# headers are made too: the tests' stand-in compositor speaks the same protocols.
set(VANTOR_WAYLAND_GEN ${CMAKE_CURRENT_BINARY_DIR}/wayland)
# wlroots' foreign-toplevel protocol (the active window's full-screen state on Sway, Hyprland and others)
# as Debian ships it: among the sources of the Rust crate of Wayland's protocols.
set(VANTOR_WLR_PROTOCOLS_GLOB
    "/usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable/wlr-foreign-toplevel-management-unstable-v1.xml")
file(GLOB VANTOR_WLR_TOPLEVEL_XML ${VANTOR_WLR_PROTOCOLS_GLOB})
if(NOT VANTOR_WLR_TOPLEVEL_XML)
    message(FATAL_ERROR "wlr-foreign-toplevel-management-unstable-v1.xml not found (${VANTOR_WLR_PROTOCOLS_GLOB}); "
                        "install librust-wayland-protocols-dev (scripts/setup.sh does)")
endif()
list(SORT VANTOR_WLR_TOPLEVEL_XML COMPARE NATURAL)
list(GET VANTOR_WLR_TOPLEVEL_XML -1 VANTOR_WLR_TOPLEVEL_XML)

set(VANTOR_WAYLAND_PROTOCOLS
    "ext-idle-notify-v1|${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml"
    "kde-idle|${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml"
    "wlr-foreign-toplevel-management-unstable-v1|${VANTOR_WLR_TOPLEVEL_XML}")
set(VANTOR_WAYLAND_SOURCES "")
foreach(entry IN LISTS VANTOR_WAYLAND_PROTOCOLS)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 stem)
    list(GET parts 1 xml)
    add_custom_command(
        OUTPUT ${VANTOR_WAYLAND_GEN}/${stem}-client-protocol.h ${VANTOR_WAYLAND_GEN}/${stem}-server-protocol.h
               ${VANTOR_WAYLAND_GEN}/${stem}-protocol.c
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOR_WAYLAND_GEN}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${VANTOR_WAYLAND_GEN}/${stem}-client-protocol.h
        COMMAND ${WAYLAND_SCANNER} server-header ${xml} ${VANTOR_WAYLAND_GEN}/${stem}-server-protocol.h
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${VANTOR_WAYLAND_GEN}/${stem}-protocol.c
        DEPENDS ${xml}
        VERBATIM)
    list(APPEND VANTOR_WAYLAND_SOURCES ${VANTOR_WAYLAND_GEN}/${stem}-client-protocol.h
         ${VANTOR_WAYLAND_GEN}/${stem}-server-protocol.h ${VANTOR_WAYLAND_GEN}/${stem}-protocol.c)
endforeach()

file(GLOB_RECURSE VANTOR_LINUX_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(vantor_platform_native STATIC ${VANTOR_LINUX_SOURCES} ${VANTOR_WAYLAND_SOURCES})
target_include_directories(vantor_platform_native PUBLIC ${VANTOR_WAYLAND_GEN})
target_link_libraries(vantor_platform_native PUBLIC vantor_platform PRIVATE Qt6::Core Qt6::DBus PkgConfig::XCB
                      PkgConfig::WAYLAND)
