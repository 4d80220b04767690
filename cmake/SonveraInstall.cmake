# How the program is installed and packed.
#
# Windows: a self-contained folder: sonvera.exe with its "languages" folder
# (the program's translations and the toolkit's own), the toolkit's DLLs and
# the plugins the program loads (each in the folder the toolkit looks in
# beside the program) and the compiler's run-time DLLs. CPack packs it as a
# zip and an NSIS installer.
#
# Elsewhere: the layout of a desktop program under the prefix: the program in
# lib/sonvera/ with its "languages" folder beside it (the program looks for it
# there) and a link to it in bin/, a desktop entry, the icon in the hicolor
# sizes and AppStream metadata. CPack packs it as a Debian package.

set(SONVERA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
# Kept equal to AppConstants::organizationName, which names the folder of the
# log on Windows too.
set(SONVERA_ORGANIZATION "Sonvera Labs")

if(WIN32)
    set(SONVERA_ICON_FILE ${SONVERA_PACKAGING_DIR}/icons/sonvera.ico)
    configure_file(${SONVERA_PACKAGING_DIR}/windows/sonvera.rc.in ${CMAKE_CURRENT_BINARY_DIR}/sonvera.rc @ONLY)
    target_sources(sonvera PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/sonvera.rc)

    install(TARGETS sonvera RUNTIME DESTINATION .)
    install(FILES ${SONVERA_QM_FILES} DESTINATION languages)

    # The plugins the program loads: the Windows platform, the native style,
    # GIF pictures (the loading animation; PNG is built in), the printers and
    # the audio devices.
    set(SONVERA_WINDOWS_PLUGINS Qt5::QWindowsIntegrationPlugin Qt5::QWindowsVistaStylePlugin Qt5::QGifPlugin
                                Qt5::QWindowsPrinterSupportPlugin Qt5::QWindowsAudioPlugin)
    set(importers \${CMAKE_INSTALL_PREFIX}/sonvera.exe)
    foreach(plugin IN LISTS SONVERA_WINDOWS_PLUGINS)
        get_target_property(plugin_type ${plugin} QT_PLUGIN_TYPE)
        install(IMPORTED_RUNTIME_ARTIFACTS ${plugin} LIBRARY DESTINATION ${plugin_type})
        list(APPEND importers "\${CMAKE_INSTALL_PREFIX}/${plugin_type}/$<TARGET_FILE_NAME:${plugin}>")
    endforeach()

    # The DLLs all of those import.
    install(CODE "
        set(SONVERA_IMPORTERS \"${importers}\")
        set(SONVERA_DLL_DIRS \"${SONVERA_WINDOWS_QT}/bin;${SONVERA_MINGW_RUNTIME_DIRS}\")
        set(SONVERA_OBJDUMP \"${CMAKE_OBJDUMP}\")
        set(SONVERA_STRIP \"${CMAKE_STRIP}\")
        include(\"${CMAKE_CURRENT_LIST_DIR}/SonveraWindowsDlls.cmake\")")

    # The toolkit's own texts (buttons and questions of its dialogs) in the
    # program's languages, from the same files the Linux desktop uses; the
    # program looks for them in its "languages" folder, where the tests find
    # them too.
    set(SONVERA_TOOLKIT_TRANSLATIONS_DIR /usr/share/qt5/translations
        CACHE PATH "Folder of the toolkit's compiled translations (qtbase_ru.qm, ...)")
    foreach(language en ru)
        set(qm ${SONVERA_TOOLKIT_TRANSLATIONS_DIR}/qtbase_${language}.qm)
        if(NOT EXISTS ${qm})
            message(FATAL_ERROR "${qm} is missing: the toolkit's translations come with Debian's qttranslations5-l10n")
        endif()
        file(COPY ${qm} DESTINATION ${SONVERA_LANGUAGES_DIR})
        install(FILES ${qm} DESTINATION languages)
    endforeach()
else()
    set(SONVERA_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/sonvera)
    install(TARGETS sonvera RUNTIME DESTINATION ${SONVERA_PROGRAM_DIR})
    install(FILES ${SONVERA_QM_FILES} DESTINATION ${SONVERA_PROGRAM_DIR}/languages)
    file(RELATIVE_PATH program_from_bin /${CMAKE_INSTALL_BINDIR} /${SONVERA_PROGRAM_DIR}/sonvera)
    file(CREATE_LINK ${program_from_bin} ${CMAKE_CURRENT_BINARY_DIR}/sonvera-link SYMBOLIC)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/sonvera-link DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME sonvera)

    install(FILES ${SONVERA_PACKAGING_DIR}/linux/example.sonvera.Sonvera.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${SONVERA_PACKAGING_DIR}/linux/example.sonvera.Sonvera.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 22 24 32 48 64 128 256 512)
        install(FILES ${SONVERA_PACKAGING_DIR}/icons/sonvera-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME sonvera.png)
    endforeach()
    install(FILES ${SONVERA_PACKAGING_DIR}/icons/sonvera.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/SonveraPackaging.cmake)
