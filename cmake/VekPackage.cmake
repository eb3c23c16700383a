# `cpack` in a build tree configured for /usr (scripts/package.sh) builds a
# .deb of everything installed. Its dependencies are computed from the
# programs and libraries by dpkg-shlibdeps, so they are the Debian packages
# really needed at run time (libc, libstdc++, Qt 6 Widgets when the GUI
# programs are built).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vek)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VEK network suite developers <vek-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "network server and client libraries for VEK DSP devices")
set(CPACK_PACKAGE_DESCRIPTION
    "PC-side software of a networked audio and paging installation of DSP devices
that talk a small UDP protocol: the hubserver background server, the client
libraries libhubclient and libobjlink with their development files, command
line example programs and, where built, the objscope and busprobe tools.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The dynamic loader's cache is refreshed by the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian wants a copyright file and a compressed changelog in the doc folder.
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                   COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/packaging/changelog >
                           ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VEK_DOC_DIR})

include(CPack)
