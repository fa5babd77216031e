# Install rules and the Debian package (CPack). scripts/package.sh builds the
# package; `cmake --install` gives the same tree under any prefix.
#
#   bin/k400gw, bin/k400gw-gui
#   share/applications/k400gw-gui.desktop, share/icons/hicolor/scalable/apps/k400gw.svg
#   share/man/man1/k400gw.1.gz (made from the program's help), k400gw-gui.1.gz
#   share/doc/k400gw/: copyright, changelog.gz, README.md.gz, simulator.md.gz, plans.md.gz,
#   backup.md.gz, examples/scenarios/
#   share/lintian/overrides/k400gw: the spellings kept on purpose

include(GNUInstallDirs)

set(K400_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/packaging)
# The package's contact, also named in its copyright file and changelog.
set(K400_MAINTAINER "k400gw developers <k400gw@users.noreply.invalid>")
set(K400_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/k400gw)
# Folders 0755 whatever the builder's umask (files get 0644, programs 0755).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The manual pages run the built k400gw for its help, which an instrumented
# build would turn into leak reports and coverage data: those builds skip them.
if(K400_SANITIZE OR K400_FUZZ OR K400_COVERAGE)
    set(K400_DOCS_DEFAULT OFF)
else()
    set(K400_DOCS_DEFAULT ON)
endif()
option(K400_DOCS "Build the manual pages and the packaged documents" ${K400_DOCS_DEFAULT})

install(TARGETS k400gw RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(K400_BUILD_GUI)
    install(TARGETS k400gw-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${K400_PACKAGE_DIR}/k400gw-gui.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    install(FILES ${K400_PACKAGE_DIR}/k400gw.svg
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
endif()
# Debian's form of LICENSE, with the licences of the libraries compiled in.
configure_file(${K400_PACKAGE_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${K400_DOC_DIR})
install(FILES ${K400_PACKAGE_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME k400gw)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/scenarios/ DESTINATION ${K400_DOC_DIR}/examples/scenarios
        FILES_MATCHING PATTERN "*.json")

if(K400_DOCS)
    # SOURCE_DATE_EPOCH, when set, makes the date (and so the package) reproducible.
    string(TIMESTAMP K400_MAN_DATE "%Y-%m-%d" UTC)
    set(out ${CMAKE_BINARY_DIR}/packaging)
    file(MAKE_DIRECTORY ${out})
    set(gzip gzip -9n -c)  # -n: no name or time stamp inside, for identical rebuilds

    add_custom_command(
        OUTPUT ${out}/k400gw.1
        COMMAND sh ${K400_PACKAGE_DIR}/make-manpage.sh $<TARGET_FILE:k400gw> ${K400_PACKAGE_DIR}/k400gw.1.in
                ${PROJECT_VERSION} ${K400_MAN_DATE} > ${out}/k400gw.1
        DEPENDS k400gw ${K400_PACKAGE_DIR}/make-manpage.sh ${K400_PACKAGE_DIR}/k400gw.1.in
        COMMENT "Writing the k400gw manual page from its help")
    configure_file(${K400_PACKAGE_DIR}/k400gw-gui.1.in ${out}/k400gw-gui.1 @ONLY)
    add_custom_command(
        OUTPUT ${out}/changelog
        COMMAND sh ${K400_PACKAGE_DIR}/make-debian-changelog.sh ${CMAKE_SOURCE_DIR}/CHANGELOG.md k400gw
                ${PROJECT_VERSION} "${K400_MAINTAINER}" > ${out}/changelog
        DEPENDS ${K400_PACKAGE_DIR}/make-debian-changelog.sh ${CMAKE_SOURCE_DIR}/CHANGELOG.md
        COMMENT "Writing the Debian changelog from CHANGELOG.md" VERBATIM)

    set(compressed)
    foreach(pair k400gw.1:${out}/k400gw.1 k400gw-gui.1:${out}/k400gw-gui.1 changelog:${out}/changelog
                 README.md:${CMAKE_SOURCE_DIR}/README.md simulator.md:${CMAKE_SOURCE_DIR}/docs/simulator.md
                 plans.md:${CMAKE_SOURCE_DIR}/docs/plans.md backup.md:${CMAKE_SOURCE_DIR}/docs/backup.md)
        string(REPLACE ":" ";" pair ${pair})
        list(GET pair 0 name)
        list(GET pair 1 source)
        add_custom_command(OUTPUT ${out}/${name}.gz COMMAND ${gzip} ${source} > ${out}/${name}.gz DEPENDS ${source})
        list(APPEND compressed ${out}/${name}.gz)
    endforeach()
    add_custom_target(k400gw-docs ALL DEPENDS ${compressed})

    install(FILES ${out}/k400gw.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    if(K400_BUILD_GUI)
        install(FILES ${out}/k400gw-gui.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
    install(FILES ${out}/changelog.gz ${out}/README.md.gz ${out}/simulator.md.gz ${out}/plans.md.gz
                  ${out}/backup.md.gz DESTINATION ${K400_DOC_DIR})
endif()

# --- The Debian package ---
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME k400gw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${K400_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for the K-400 CANopen and DeviceNet gateways")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # k400gw_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 runtime and the C++ library, as the binaries need them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The long description: CPack puts the summary line above it and indents it.
file(READ ${K400_PACKAGE_DIR}/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
