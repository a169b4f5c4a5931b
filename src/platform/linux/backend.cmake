# Linux backend: D-Bus through Qt's D-Bus module, X11 through XCB, processes and counters through /proc.
find_package(Qt6 REQUIRED COMPONENTS Core DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-screensaver xcb-randr)

file(GLOB_RECURSE VANTOR_LINUX_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(vantor_platform_native STATIC ${VANTOR_LINUX_SOURCES})
target_link_libraries(vantor_platform_native PUBLIC vantor_platform PRIVATE Qt6::Core Qt6::DBus PkgConfig::XCB)
