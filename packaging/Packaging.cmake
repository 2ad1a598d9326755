# Installing the game and packaging it for Debian. `cmake --install` lays out a Debian-style tree:
# the binary in games/, the data in share/games/pellvane (which the binary finds relative to itself,
# so a relocated install still works), a desktop entry, icons, a manual page and the docs. CPack
# turns the same tree into pellvane_<version>_<arch>.deb (`./run.sh package`).
set(PELLVANE_DOC_DIR share/doc/pellvane)

install(TARGETS pellvane RUNTIME DESTINATION games)
install(DIRECTORY data/ DESTINATION share/games/pellvane)
install(FILES packaging/pellvane.desktop DESTINATION share/applications)
foreach(size 48 64 128 256)
    install(FILES data/icons/pellvane-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME pellvane.png)
endforeach()

# Debian keeps manual pages and changelogs compressed, without timestamps (-n) for reproducibility.
configure_file(packaging/pellvane.6 ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6 @ONLY)
add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6.gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9nc ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6 > ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6.gz
    COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog > ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6 ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(pellvane_docs ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6.gz
                                            ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/pellvane.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz README.md DESTINATION ${PELLVANE_DOC_DIR})
install(FILES LICENSE DESTINATION ${PELLVANE_DOC_DIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "brick-and-ball arcade game")
set(CPACK_PACKAGE_DESCRIPTION
    "Move the paddle, launch the ball and clear each level of blocks, which\n\
change colour and sound as they are hit. Clearing a level brings the next\n\
one and an extra ball. Levels, art and sounds are plain XML, PNG, WAV and\n\
Ogg files that players can edit.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pellvane developers <maintainers@pellvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game draws through Mesa or the machine's own OpenGL driver, loaded at run time.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
