# Installs Lexordo as desktop software (program, desktop entry, icons,
# AppStream metadata) and builds a Debian package of it with `make package`.

# Debian's place for the documentation, whatever the project is called.
set(CMAKE_INSTALL_DOCDIR share/doc/lexordo)
include(GNUInstallDirs)

set(LEXORDO_APP_ID org.lexordo.Lexordo)
set(LEXORDO_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS lexordo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LEXORDO_PACKAGING}/${LEXORDO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LEXORDO_PACKAGING}/${LEXORDO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${LEXORDO_PACKAGING}/icons/lexordo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${LEXORDO_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${LEXORDO_PACKAGING}/holidays-example.csv
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexordo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lexordo")
set(CPACK_PACKAGE_CONTACT "Lexordo maintainers <maintainers@lexordo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "case diary for an advocate's office")
set(CPACK_PACKAGE_DESCRIPTION
    "The diary of hearings that carries itself forward each day, cause lists,\n"
    "registers of courts, holidays and clients, fee ledgers, bills, receipts\n"
    "and reminders. Hearings go to a phone's calendar as iCalendar files and\n"
    "every table goes to CSV and back.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lexordo.org")
# The shared libraries the program links (Qt 6, WebEngine, SQLite, unixODBC,
# libical) are found by dpkg-shlibdeps; these are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, unixodbc, odbcinst, libsqliteodbc, fonts-noto-core, fonts-dejavu-core, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client")
include(CPack)
