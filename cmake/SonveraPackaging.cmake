# The packages CPack makes of what the install rules install (cpack in the
# build folder): a zip and an NSIS installer of the Windows folder, or a
# Debian package elsewhere. The files land in <build>/packages.

set(CPACK_PACKAGE_NAME sonvera)
set(CPACK_PACKAGE_VENDOR ${SONVERA_ORGANIZATION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${SONVERA_ORGANIZATION} <support@sonvera.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.sonvera.example)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client of a wellness service for practitioners")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Sonvera signs a practitioner in to the wellness service and keeps the directory of patients there. "
    "It records three-second signals from the USB sensor, shows the analyses the service computes as tables "
    "and comparative charts, builds recipes of markers and runs them as an impact through the sensor, keeps "
    "a recovery history of symptoms and exports a patient's data to a spreadsheet.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
# The folder under Program Files on Windows.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Sonvera)

if(WIN32)
    set(CPACK_GENERATOR ZIP NSIS)
    # The zip unpacks into one folder named like it.
    set(CPACK_PACKAGE_FILE_NAME sonvera-${PROJECT_VERSION}-windows-x64)

    set(CPACK_NSIS_PACKAGE_NAME Sonvera)
    set(CPACK_NSIS_DISPLAY_NAME Sonvera)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    # sonvera.exe sits at the top of the folder, not in bin\; one Start-menu
    # entry starts it, another uninstalls.
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    set(CPACK_PACKAGE_EXECUTABLES sonvera Sonvera)
    set(CPACK_NSIS_INSTALLED_ICON_NAME sonvera.exe)
    set(CPACK_NSIS_MUI_ICON ${SONVERA_PACKAGING_DIR}/icons/sonvera.ico)
    set(CPACK_NSIS_MUI_UNIICON ${SONVERA_PACKAGING_DIR}/icons/sonvera.ico)
    set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
    set(CPACK_NSIS_CONTACT support@sonvera.example)
    # A 64-bit installer for a 64-bit program: it sees the 64-bit Program
    # Files and registry as they are.
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
    set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
    # The installer is checked from the shell; keep makensis's report short.
    set(CPACK_NSIS_EXECUTABLE_POST_ARGUMENTS -V2)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION science)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
    # The libraries the program links come from dpkg-shlibdeps; the audio back
    # ends are plugins it loads at run time, which shlibdeps can't see.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5multimedia5-plugins")
    # The toolkit's own dialogs in the program's other languages.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")
    # The summary comes first; Debian wants the lines after it at most 80
    # characters long.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Sonvera signs a practitioner in to the wellness service and keeps the
directory of patients there. It records three-second signals from the USB
sensor, shows the analyses the service computes as tables and comparative
charts, builds recipes of markers and runs them as an impact through the
sensor, keeps a recovery history of symptoms and exports a patient's data
to a spreadsheet.")

    # What Debian wants of every package: a copyright file, a compressed
    # changelog and a manual page, compressed without time stamps so that
    # the package is reproducible.
    set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
    set(manual ${CMAKE_CURRENT_BINARY_DIR}/sonvera.1.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND gzip -9 -n -c ${SONVERA_PACKAGING_DIR}/linux/changelog > ${changelog}
        DEPENDS ${SONVERA_PACKAGING_DIR}/linux/changelog)
    add_custom_command(OUTPUT ${manual}
        COMMAND gzip -9 -n -c ${SONVERA_PACKAGING_DIR}/linux/sonvera.1 > ${manual}
        DEPENDS ${SONVERA_PACKAGING_DIR}/linux/sonvera.1)
    add_custom_target(sonvera_package_documents ALL DEPENDS ${changelog} ${manual})
    install(FILES ${SONVERA_PACKAGING_DIR}/linux/copyright ${changelog}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
    install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

include(CPack)
