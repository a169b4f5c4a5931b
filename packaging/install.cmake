# Installs Vantor like any Linux desktop program (make install: the program, its menu entry, icons and
# AppStream metainfo, under any prefix, DESTDIR honoured) and packs the same files into a .deb (make
# package).
include(GNUInstallDirs)

set(VANTOR_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VANTOR_ICON_SVG ${VANTOR_PACKAGING_DIR}/org.vantor.Vantor.svg)

install(TARGETS vantor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The menu entry starts the program by its full path, so a prefix outside PATH works too. The prefix is
# known only when installing (the .deb installs under /usr whatever the build's prefix), so the entry is
# written then, straight to its place: a file made in the build folder would be shared by installs that
# run at the same time.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
    set(vantor_bin_at_install "${CMAKE_INSTALL_BINDIR}")
else()
    set(vantor_bin_at_install "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}")
endif()
install(CODE "
    set(VANTOR_PROGRAM \"${vantor_bin_at_install}/vantor\")
    set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/org.vantor.Vantor.desktop\")
    message(STATUS \"Installing: \${entry}\")
    configure_file(\"${VANTOR_PACKAGING_DIR}/org.vantor.Vantor.desktop.in\" \"\${entry}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")
")
install(FILES ${VANTOR_PACKAGING_DIR}/org.vantor.Vantor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VANTOR_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The emblem as PNG in the usual sizes of the icon theme, drawn from the SVG.
find_program(VANTOR_RSVG_CONVERT rsvg-convert REQUIRED)
set(vantor_icon_pngs "")
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/org.vantor.Vantor.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${VANTOR_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${VANTOR_ICON_SVG}
        DEPENDS ${VANTOR_ICON_SVG} VERBATIM)
    list(APPEND vantor_icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(vantor_icons ALL DEPENDS ${vantor_icon_pngs})

# The .deb: installs under /usr; the libraries it needs come from dpkg-shlibdeps, the rest is named here:
# the platform plugins Qt needs to open a window, a font with Chinese characters, and Qt's own Chinese
# texts for the standard buttons.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VERSION "${VANTOR_VERSION_MAJOR}.${VANTOR_VERSION_MINOR}.${VANTOR_VERSION_REVISION}")
set(CPACK_PACKAGE_VENDOR "The Vantor developers")
set(CPACK_PACKAGE_CONTACT "The Vantor developers <developers@vantor.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "carries out scheduled tasks: shut down, restart, remind, run programs")
set(CPACK_PACKAGE_DESCRIPTION "Vantor shows a reminder, runs a program or opens a document, ends a
process, shuts down, restarts, logs off, locks the screen, sleeps or hibernates when a countdown runs
out, inside a time or weekly window, after idle time and/or at a network rate. A 60-second warning
comes before every action.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei")
# qt6-wayland: the window on a Wayland desktop without going through Xwayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(VANTOR_PROGRAM ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vantor)
configure_file(${VANTOR_PACKAGING_DIR}/postrm.in ${CMAKE_BINARY_DIR}/debian/postrm @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
