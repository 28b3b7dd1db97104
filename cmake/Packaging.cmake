# The packages a user installs, made by CPack from the install rules: on Linux a Debian package,
# on Windows an installer and a portable zip, for the web a zip of the site. Their names, version, maker and texts come from
# the application identity. Included before the install rules, as it sets where they install.

if(WIN32)
    # A Windows program sits at the top of its folder, under Program Files or unzipped.
    set(CMAKE_INSTALL_BINDIR .)
endif()
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR ${QUIBLY_COMPANY})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${QUIBLY_SUMMARY})
# Lines of at most 80 characters, as a Debian package's long description wants them.
string(CONFIGURE [[
@QUIBLY_TITLE@ is a small desktop conversation toy. Type a phrase and press Enter:
when the bot knows the phrase, it answers.

It works entirely offline, reads and writes no files and keeps no settings.]]
    CPACK_PACKAGE_DESCRIPTION @ONLY)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Values reach CPack as written, quotes and line breaks included.
set(CPACK_VERBATIM_VARIABLES ON)
# Each generator's file name and the date it writes: cmake/PackageFileNames.cmake runs when
# CPack picks a generator.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageFileNames.cmake)
# The same bytes from the same source: dates, permissions and the order of members fixed.
set(CPACK_QUIBLY_SOURCE_DATE_EPOCH ${QUIBLY_SOURCE_DATE_EPOCH})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStaging.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStaging.cmake)

# The licence's holder and year, as the packages' copyright notices give them.
file(READ ${CPACK_RESOURCE_FILE_LICENSE} licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
set(licence_copyright "${CMAKE_MATCH_1}")

string(TOLOWER "${PROJECT_NAME}" package_name)
string(TOLOWER "${QUIBLY_COMPANY}" company_label)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_PACKAGE_NAME ${package_name})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    # Not "games": that section's programs live in /usr/games, and this one is in the PATH.
    set(CPACK_DEBIAN_PACKAGE_SECTION x11)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUIBLY_COMPANY} <packages@${company_label}.example>")
    # The run-time dependencies are those dpkg-shlibdeps finds in the executable, and Qt's
    # Wayland platform, which Qt loads as a plugin: without it, a Wayland session runs Quibly
    # through X11, blurred at scale 2, or not at all.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-wayland)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

    # What a Debian system expects beside the program: the copyright in the machine-readable
    # format, with the licence terms taken from LICENSE, a changelog and a manual page, the last
    # two compressed as Debian compresses them (gzip -9, no name or time stamp). The project is
    # its own upstream, so the changelog is that of a native package.
    string(FIND "${licence}" "Permission is hereby granted" terms_start)
    string(SUBSTRING "${licence}" ${terms_start} -1 licence_terms)
    string(STRIP "${licence_terms}" licence_terms)
    string(REPLACE "\n\n" "\n.\n" licence_terms "${licence_terms}")
    string(REPLACE "\n" "\n " licence_terms " ${licence_terms}")

    # The changelog's entry is dated at the source's date, in Debian's form (RFC 5322, English).
    string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    set(docs ${CMAKE_CURRENT_BINARY_DIR}/packaging)
    configure_file(packaging/debian/copyright.in ${docs}/copyright @ONLY)
    configure_file(packaging/debian/changelog.in ${docs}/changelog @ONLY)
    configure_file(packaging/${QUIBLY_EXECUTABLE}.6.in ${docs}/${QUIBLY_EXECUTABLE}.6 @ONLY)
    foreach(file changelog ${QUIBLY_EXECUTABLE}.6)
        add_custom_command(OUTPUT ${docs}/${file}.gz
                           COMMAND gzip -9 --no-name --keep --force ${docs}/${file}
                           DEPENDS ${docs}/${file}
                           VERBATIM)
    endforeach()
    add_custom_target(quibly_package_docs ALL
                      DEPENDS ${docs}/changelog.gz ${docs}/${QUIBLY_EXECUTABLE}.6.gz)
    install(FILES ${docs}/copyright ${docs}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package_name})
    install(FILES ${docs}/${QUIBLY_EXECUTABLE}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
elseif(EMSCRIPTEN)
    # The site, as one folder to put on any web server.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME web)
elseif(WIN32)
    # A 64-bit installer (Debian's NSIS carries the amd64 stubs) that puts the program and its
    # licence in Program Files, a shortcut in the Start menu and an entry in Installed apps;
    # and the same files as a portable zip.
    set(CPACK_GENERATOR NSIS64 ZIP)
    install(FILES ${CPACK_RESOURCE_FILE_LICENSE} DESTINATION . RENAME LICENSE.txt)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY ${QUIBLY_TITLE})
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${QUIBLY_TITLE})
    set(CPACK_NSIS_PACKAGE_NAME ${QUIBLY_TITLE})
    set(CPACK_NSIS_DISPLAY_NAME ${QUIBLY_TITLE})
    set(CPACK_NSIS_MUI_ICON ${QUIBLY_PROGRAM_ICON})
    set(CPACK_NSIS_MUI_UNIICON ${QUIBLY_PROGRAM_ICON})
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    set(CPACK_NSIS_INSTALLED_ICON_NAME ${QUIBLY_EXECUTABLE}.exe)
    set(CPACK_PACKAGE_EXECUTABLES ${QUIBLY_EXECUTABLE} ${QUIBLY_TITLE})
    set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    # The installer's own version block; and the maker's registry key, which holds nothing once
    # the uninstaller has removed Quibly's, goes with it. The installer keeps no file's date:
    # CPack writes some of the files it packs at packing time.
    set(version "${PROJECT_VERSION}.0")
    set(CPACK_NSIS_DEFINES "
  Target amd64-unicode
  SetDateSave off
  VIProductVersion ${version}
  VIFileVersion ${version}
  VIAddVersionKey /LANG=${QUIBLY_LOCALE} CompanyName \"${QUIBLY_COMPANY}\"
  VIAddVersionKey /LANG=${QUIBLY_LOCALE} ProductName \"${QUIBLY_TITLE}\"
  VIAddVersionKey /LANG=${QUIBLY_LOCALE} FileDescription \"${QUIBLY_TITLE} Setup\"
  VIAddVersionKey /LANG=${QUIBLY_LOCALE} FileVersion ${PROJECT_VERSION}
  VIAddVersionKey /LANG=${QUIBLY_LOCALE} ProductVersion ${PROJECT_VERSION}
  VIAddVersionKey /LANG=${QUIBLY_LOCALE} LegalCopyright \"Copyright (c) ${licence_copyright}\"
Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX \"Software\\${QUIBLY_COMPANY}\"
FunctionEnd")
endif()

include(CPack)
