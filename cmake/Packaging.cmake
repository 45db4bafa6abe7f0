# Install rules and the Debian package.
#
# Installed, the program lives in <prefix>/bin and finds its data in
# <prefix>/share/campanix (the build passes the relative layout to the path
# table); the desktop entry, the MIME package of the ringing files, the icons,
# the AppStream metadata and the manual pages go where the desktop looks.

set(CAMPANIX_INSTALL_DATA_DIR "${CMAKE_INSTALL_DATADIR}/campanix")

install(TARGETS campanix RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET campanix-render)
  install(TARGETS campanix-render RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()

# The data the build generated beside the executables; what the program
# writes there when run from the build tree stays behind.
if(CAMPANIX_GENERATE_DATA)
  foreach(_folder About Animate BigAnimate Campanel Custom Data Help Images Sound Voice)
    install(DIRECTORY "${CAMPANIX_RUNTIME_DIR}/${_folder}" DESTINATION "${CAMPANIX_INSTALL_DATA_DIR}"
            PATTERN "*.tmp" EXCLUDE)
  endforeach()
else()
  message(STATUS "CAMPANIX_GENERATE_DATA is off: an install holds the programs without their data and drawn icons")
endif()

set(EXEC campanix)
configure_file("${PROJECT_SOURCE_DIR}/data/desktop/campanix.desktop.in" "${CMAKE_BINARY_DIR}/package/campanix.desktop" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/package/campanix.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_SOURCE_DIR}/data/desktop/campanix-ringing.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")
install(FILES "${PROJECT_SOURCE_DIR}/data/metainfo/campanix.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${PROJECT_SOURCE_DIR}/data/icons/campanix.svg" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
if(CAMPANIX_GENERATE_DATA)
  foreach(_size IN LISTS CAMPANIX_ICON_SIZES)
    install(FILES "${CMAKE_BINARY_DIR}/icons/${_size}x${_size}/campanix.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps")
  endforeach()
endif()

# Manual pages and the package's documents, compressed as Debian expects
# (gzip -9n: no name or time stamp, so the package is reproducible).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_compressed "")
foreach(_page campanix campanix-render campanix-belfry)
  set(_out "${CMAKE_BINARY_DIR}/package/${_page}.1.gz")
  add_custom_command(OUTPUT "${_out}"
    COMMAND sh -c "${GZIP_PROGRAM} -9n -c \"$0\" > \"$1\"" "${PROJECT_SOURCE_DIR}/data/man/${_page}.1" "${_out}"
    DEPENDS "${PROJECT_SOURCE_DIR}/data/man/${_page}.1" VERBATIM)
  list(APPEND _compressed "${_out}")
  install(FILES "${_out}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endforeach()
set(_changelog "${CMAKE_BINARY_DIR}/package/changelog.Debian.gz")
add_custom_command(OUTPUT "${_changelog}"
  COMMAND sh -c "${GZIP_PROGRAM} -9n -c \"$0\" > \"$1\"" "${PROJECT_SOURCE_DIR}/cmake/debian/changelog" "${_changelog}"
  DEPENDS "${PROJECT_SOURCE_DIR}/cmake/debian/changelog" VERBATIM)
list(APPEND _compressed "${_changelog}")
add_custom_target(campanix_package_files ALL DEPENDS ${_compressed})
install(FILES "${PROJECT_SOURCE_DIR}/cmake/debian/copyright" "${_changelog}"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/campanix")

# cpack -G DEB in the build folder (or the target campanix_deb) makes the package.
set(CPACK_PACKAGE_NAME campanix)
set(CPACK_PACKAGE_VENDOR Tolvena)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Tolvena <campanix@tolvena.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trainer and player of Russian church bell ringing")
set(CPACK_PACKAGE_DESCRIPTION
    "Campanix plays Russian church bell ringings on an ensemble of up to fifteen\n\
sampled bells, draws the score in notation and animates the struck bells.\n\
The user rings from the keyboard, records, practises along with a ringing,\n\
prints and exports scores and follows illustrated lessons with spoken\n\
commentary. The user interface is in Russian.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tolvena.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The MIDI library is linked, so dpkg-shlibdeps names it with its version
# (librtmidi6 (>= 5.0.0)); naming it here too would list it twice.
# Loaded at run time, so not found by dpkg-shlibdeps: the fonts the
# pictures and the score are drawn with, and Qt's Russian dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/cmake/debian/postinst;${PROJECT_SOURCE_DIR}/cmake/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
