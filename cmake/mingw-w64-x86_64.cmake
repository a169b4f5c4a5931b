# Cross-building for 64-bit Windows on Linux with MinGW-w64. The POSIX-thread compilers are the ones with
# std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTOR_MINGW_TRIPLE}-windres)

# Libraries, headers and packages come from the MinGW sysroot and the Qt for Windows (VANTOR_WINDOWS_QT,
# its install prefix); programs (moc, rcc, uic, the compilers) always from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTOR_MINGW_TRIPLE})
if(VANTOR_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${VANTOR_WINDOWS_QT})
    list(APPEND CMAKE_PREFIX_PATH ${VANTOR_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTOR_WINDOWS_QT)

# Qt's build tools of the same version on the build machine (Debian's qt6-base-dev-tools).
set(QT_HOST_PATH /usr CACHE PATH "Qt's host tools")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake files of Qt's host tools")
