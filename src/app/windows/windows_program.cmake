# The Windows program: its icon and version in the .exe, the portable folder build-windows/vantor-windows-x64/
# (what the tests under Wine run) and the zip of it, dist/vantor-windows-x64.zip.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

set(VANTOR_ICON_FILE ${CMAKE_CURRENT_LIST_DIR}/vantor.ico)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vantor.rc.in ${CMAKE_CURRENT_BINARY_DIR}/vantor.rc @ONLY)
target_sources(vantor PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/vantor.rc)
set_target_properties(vantor PROPERTIES WIN32_EXECUTABLE ON)

# The MinGW runtime the program and Qt were built against.
set(runtime_dlls "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The MinGW runtime library ${dll} was not found")
    endif()
    list(APPEND runtime_dlls "${found}|${dll}")
endforeach()

# Qt's own texts in Chinese (确定 / 是 / 否): Debian's qt6-translations-l10n, the same version.
# A Qt installed on Windows brings them along.
find_file(VANTOR_QTBASE_ZH_CN qtbase_zh_CN.qm
          PATHS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS} /usr/share/qt6/translations NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
set(qt_texts "")
if(VANTOR_QTBASE_ZH_CN)
    set(qt_texts "${VANTOR_QTBASE_ZH_CN}|translations/qtbase_zh_CN.qm")
else()
    message(WARNING "qtbase_zh_CN.qm not found (Debian package qt6-translations-l10n): the standard buttons "
                    "of the Windows program will be in English")
endif()

# The README of the zip and the licence notices of what it ships (Qt, the GCC runtime, winpthreads).
set(VANTOR_WINDOWS_TEXTS_DIR ${PROJECT_SOURCE_DIR}/packaging/windows)
file(GLOB licence_files RELATIVE ${VANTOR_WINDOWS_TEXTS_DIR} CONFIGURE_DEPENDS
     ${VANTOR_WINDOWS_TEXTS_DIR}/licenses/*.txt)
set(texts "${VANTOR_WINDOWS_TEXTS_DIR}/README.txt|README.txt")
set(text_sources ${VANTOR_WINDOWS_TEXTS_DIR}/README.txt)
foreach(f IN LISTS licence_files)
    list(APPEND texts "${VANTOR_WINDOWS_TEXTS_DIR}/${f}|${f}")
    list(APPEND text_sources ${VANTOR_WINDOWS_TEXTS_DIR}/${f})
endforeach()
string(JOIN "!" texts ${texts})

if(NOT CMAKE_STRIP)
    message(FATAL_ERROR "No strip program for the Windows binaries")
endif()

set(VANTOR_WINDOWS_FOLDER ${CMAKE_BINARY_DIR}/vantor-windows-x64 CACHE INTERNAL "The portable folder")
set(binaries
    "$<TARGET_FILE:vantor>|vantor.exe"
    "$<TARGET_FILE:Qt6::Core>|Qt6Core.dll"
    "$<TARGET_FILE:Qt6::Gui>|Qt6Gui.dll"
    "$<TARGET_FILE:Qt6::Widgets>|Qt6Widgets.dll"
    "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>|platforms/qwindows.dll"
    "$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>|styles/qwindowsvistastyle.dll"
    ${runtime_dlls})
# Lists reach the script joined by "!", which no path here holds.
string(JOIN "!" binaries ${binaries})
add_custom_target(vantor_windows_folder ALL
    COMMAND ${CMAKE_COMMAND} -DDEST=${VANTOR_WINDOWS_FOLDER} -DSTRIP=${CMAKE_STRIP}
            -DBINARIES=${binaries} -DFILES=${qt_texts} -DTEXTS=${texts}
            -P ${CMAKE_CURRENT_LIST_DIR}/deploy.cmake
    DEPENDS vantor ${CMAKE_CURRENT_LIST_DIR}/deploy.cmake ${text_sources}
    COMMENT "Portable folder of the Windows program"
    VERBATIM)

set(VANTOR_WINDOWS_ZIP ${PROJECT_SOURCE_DIR}/dist/vantor-windows-x64.zip)
add_custom_target(vantor_windows_zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_SOURCE_DIR}/dist
    COMMAND ${CMAKE_COMMAND} -E rm -f ${VANTOR_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${VANTOR_WINDOWS_ZIP} --format=zip vantor-windows-x64
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS vantor_windows_folder
    COMMENT "dist/vantor-windows-x64.zip"
    VERBATIM)
