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

# The idle-notification protocols' client code, generated from the protocol descriptions. The server
# headers are made too: the tests' stand-in compositor speaks the same protocols.
set(VANTOR_WAYLAND_GEN ${CMAKE_CURRENT_BINARY_DIR}/wayland)
set(VANTOR_WAYLAND_PROTOCOLS
    "ext-idle-notify-v1|${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml"
    "kde-idle|${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml")
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
