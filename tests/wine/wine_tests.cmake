# Windows test executables built by the MinGW-w64 cross compiler run under Wine: GoogleTest is built from
# its source with the same compiler, ctest starts every test program through wine_run.sh, and one Wine
# session (prefix, virtual display, wine server) is set up before the first such test and ended after the
# last one.
set(VANTOR_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source (Debian package googletest)")
if(NOT EXISTS ${VANTOR_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's source is not in ${VANTOR_GTEST_SOURCE} (Debian package googletest)")
endif()

# GoogleTest is third-party code: built without this project's warnings-as-errors, and not installed.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
get_directory_property(vantor_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${VANTOR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${vantor_saved_options}")

set(VANTOR_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
set(VANTOR_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/wine_run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTOR_WINE_RUN} ${VANTOR_WINE_SESSION})

add_test(NAME wine_session_start COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_session.sh start
                                         ${VANTOR_WINE_SESSION})
add_test(NAME wine_session_stop COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_session.sh stop
                                        ${VANTOR_WINE_SESSION})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# Test programs carry their runtime inside, so Wine needs no MinGW DLLs beside them.
function(vantor_windows_test_program target)
    target_link_options(${target} PRIVATE -static)
endfunction()

# A test that runs a Windows program: in the shared Wine session.
function(vantor_wine_test name)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
endfunction()
