# Windows test programs: GoogleTest built from Debian's sources with the cross
# compiler, each program one ctest run under Wine (a Wine start costs about a
# second, so not one per test case).
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Seen from tests/win32 too (a folder beside this one), whose tests must run
# in the same prefix, on the same server and display.
set(VELMORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE INTERNAL "")
set(VELMORA_WINE_ENV WINEPREFIX=${VELMORA_WINEPREFIX} WINEDEBUG=-all,err+seh WINEDLLOVERRIDES=mscoree,mshtml=
    CACHE INTERNAL "")
set(VELMORA_WINE_SERVER ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine_server.sh CACHE INTERNAL "")

# Creates the Wine prefix once, before any test program starts in it, with
# one server kept running until the last test ends (a server that quits on
# its own while the next program connects fails that program: "recvmsg:
# Connection reset by peer"), and one display (an Xvfb) started before the
# server, which every Wine test uses. The cleanup stops both.
add_test(NAME wine_prefix COMMAND ${CMAKE_COMMAND} -E env ${VELMORA_WINE_ENV}
                                  ${VELMORA_WINE_SERVER} start
                                  ${VELMORA_WINEPREFIX} ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine_server_stop COMMAND ${CMAKE_COMMAND} -E env ${VELMORA_WINE_ENV}
                                       ${VELMORA_WINE_SERVER} stop ${VELMORA_WINEPREFIX})
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

function(velmora_wine_test name)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VELMORA_WINE_ENV}"
                                          FIXTURES_REQUIRED wine TIMEOUT 300)
endfunction()

function(velmora_test name)
  add_executable(${name} ${name}.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${VELMORA_WINE_SERVER} run ${CMAKE_CROSSCOMPILING_EMULATOR}
                                 $<TARGET_FILE:${name}>)
  velmora_wine_test(${name})
endfunction()

# velmora-cli.exe as a command the shell scripts can run.
set(VELMORA_CLI_WINE ${CMAKE_BINARY_DIR}/velmora-cli-wine)
file(GENERATE OUTPUT ${VELMORA_CLI_WINE}
     CONTENT "#!/bin/sh\nexport WINEPREFIX='${VELMORA_WINEPREFIX}' WINEDEBUG=-all,err+seh\nexec '${CMAKE_CROSSCOMPILING_EMULATOR}' '$<TARGET_FILE:velmora-cli>' \"$@\"\n"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(VELMORA_LINUX_CLI ${PROJECT_SOURCE_DIR}/build/default/cli/velmora-cli
    CACHE FILEPATH "The Linux velmora-cli the containers are compared with")

function(velmora_wine_script name)
  add_test(NAME ${name} COMMAND ${VELMORA_WINE_SERVER} run ${ARGN})
  velmora_wine_test(${name})
endfunction()
