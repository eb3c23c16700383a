# Install layout of the suite (GNU folders under CMAKE_INSTALL_PREFIX):
#   bin/                        programs
#   lib/<arch>/                 libhubclient.so.1, libobjlink.so.1, libvekplatform.so.1
#   lib/<arch>/pkgconfig/       hubclient.pc, objlink.pc
#   lib/<arch>/cmake/<name>/    find_package(hubclient), find_package(objlink)
#   include/vek/                hubclient.h, objlink.h
#   share/man/man1/             one page per program
#   share/doc/vek/              README, copyright, examples/
#   share/applications/, share/icons/hicolor/scalable/apps/   the GUI programs
#
# Adding a program to the installation is one line: vek_install_program(name).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VEK_SOVERSION 1)
set(VEK_INCLUDE_SUBDIR vek)
set(VEK_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/vek)
set(VEK_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VEK_MAN_SOURCE_DIR ${CMAKE_SOURCE_DIR}/docs/man)
set(VEK_SHARE_SOURCE_DIR ${CMAKE_SOURCE_DIR}/share)

# Relative paths between the installed folders, so an installation works
# wherever it is unpacked (a temporary prefix, /usr/local, /opt/...).
file(RELATIVE_PATH VEK_LIBRARIES_FROM_PROGRAMS ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH VEK_PROGRAMS_FROM_LIBRARY ${CMAKE_INSTALL_FULL_LIBDIR}
     ${CMAKE_INSTALL_FULL_BINDIR})
file(RELATIVE_PATH VEK_PREFIX_FROM_PKGCONFIG ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})

# An installation into a folder the dynamic loader searches anyway (/usr)
# needs no RPATH (Debian policy); anywhere else the programs and libraries
# find the suite's libraries relative to themselves.
list(FIND CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES ${CMAKE_INSTALL_FULL_LIBDIR} VEK_LIBDIR_IS_SYSTEM)
if(VEK_LIBDIR_IS_SYSTEM EQUAL -1)
    set(VEK_PROGRAM_RPATH "$ORIGIN/${VEK_LIBRARIES_FROM_PROGRAMS}")
    set(VEK_LIBRARY_RPATH "$ORIGIN")
else()
    set(VEK_PROGRAM_RPATH "")
    set(VEK_LIBRARY_RPATH "")
endif()

# Man pages are compressed at build time (docs/man/<name>.<section>).
function(vek_install_man_page page)
    get_filename_component(section ${page} LAST_EXT)
    string(SUBSTRING ${section} 1 -1 section)
    set(source ${VEK_MAN_SOURCE_DIR}/${page})
    set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                       COMMAND gzip -9n -c ${source} > ${compressed}
                       DEPENDS ${source} VERBATIM)
    string(MAKE_C_IDENTIFIER "man_${page}" target)
    add_custom_target(${target} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

# Installs a program with its man page; GUI adds its desktop entry
# (share/applications/<name>.desktop) and its scalable icon (ICON, default
# share/icons/<name>.svg). A program whose target is not built (a part still
# to come, or VEK_BUILD_GUI=OFF) is skipped.
function(vek_install_program name)
    cmake_parse_arguments(ARG "GUI" "ICON" "" ${ARGN})
    if(NOT TARGET ${name})
        return()
    endif()
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "${VEK_PROGRAM_RPATH}")
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    vek_install_man_page(${name}.1)
    if(ARG_GUI)
        install(FILES ${VEK_SHARE_SOURCE_DIR}/applications/${name}.desktop
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
        if(NOT ARG_ICON)
            set(ARG_ICON ${VEK_SHARE_SOURCE_DIR}/icons/${name}.svg)
        endif()
        install(FILES ${ARG_ICON} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
                RENAME ${name}.svg)
    endif()
endfunction()

# A shared library the programs need at run time only (no headers, no
# development link).
function(vek_install_runtime_library name)
    set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${VEK_SOVERSION}
                                             INSTALL_RPATH "${VEK_LIBRARY_RPATH}")
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
endfunction()

# A public shared library: versioned SONAME, its public headers, a
# pkg-config file and a CMake package (find_package(<name>) gives
# <name>::<name>). REQUIRES names the public libraries it builds on.
function(vek_install_public_library name)
    cmake_parse_arguments(ARG "" "DESCRIPTION" "HEADERS;REQUIRES" ${ARGN})
    set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${VEK_SOVERSION}
                                             INSTALL_RPATH "${VEK_LIBRARY_RPATH}")
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
    install(FILES ${ARG_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${VEK_INCLUDE_SUBDIR})

    set(VEK_PC_NAME ${name})
    set(VEK_PC_DESCRIPTION "${ARG_DESCRIPTION}")
    list(JOIN ARG_REQUIRES " " VEK_PC_REQUIRES)
    configure_file(${VEK_CMAKE_DIR}/library.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${name}.pc @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${name}.pc
            DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

    # The package describes the installed library as an imported target
    # itself: the suite's private libraries (platform, wire records) stay out
    # of the package's interface.
    set(packageDir ${CMAKE_INSTALL_LIBDIR}/cmake/${name})
    set(VEK_PACKAGE_NAME ${name})
    set(VEK_PACKAGE_DEPENDENCIES "${ARG_REQUIRES}")
    configure_package_config_file(${VEK_CMAKE_DIR}/PackageConfig.cmake.in
                                  ${CMAKE_BINARY_DIR}/cmake/${name}Config.cmake
                                  INSTALL_DESTINATION ${packageDir})
    write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/${name}ConfigVersion.cmake
                                     COMPATIBILITY SameMajorVersion)
    install(FILES ${CMAKE_BINARY_DIR}/cmake/${name}Config.cmake
                  ${CMAKE_BINARY_DIR}/cmake/${name}ConfigVersion.cmake
            DESTINATION ${packageDir})
endfunction()
