# What a system install adds to the programs (manuals, shell completion, AppStream metadata,
# the fair server's service) and the two Debian packages CPack makes of it (scripts/package).
# Two install components, one per package: "torvane" (the window, torvane-cli, resources)
# and "fiera" (the server and its service).
set(TORVANE_PACKAGING_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(TORVANE_PACKAGING_OUT "${CMAKE_BINARY_DIR}/packaging")
set(TORVANE_PACKAGE_MAINTAINER "Torvane maintainers <maintainers@torvane.invalid>"
    CACHE STRING "Maintainer field of the Debian packages")

# Manuals and changelogs are installed compressed as Debian wants them: best compression, no
# name or time in the gzip header. Done at configure time: the files are small, and a change
# to one reconfigures.
function(torvane_compressed source output)
  configure_file("${source}" "${TORVANE_PACKAGING_OUT}/${output}" @ONLY)
  execute_process(COMMAND gzip -9nf "${TORVANE_PACKAGING_OUT}/${output}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()
foreach(page torvane torvane-cli torvane-fiera)
  torvane_compressed("${TORVANE_PACKAGING_DIR}/man/${page}.1" "${page}.1")
endforeach()
torvane_compressed("${TORVANE_PACKAGING_DIR}/changelog" "changelog")
configure_file("${TORVANE_PACKAGING_DIR}/it.torvane.torvane.metainfo.xml" "${TORVANE_PACKAGING_OUT}/it.torvane.torvane.metainfo.xml" @ONLY)
configure_file("${TORVANE_PACKAGING_DIR}/InstallServiceFiles.cmake.in" "${TORVANE_PACKAGING_OUT}/InstallServiceFiles.cmake" @ONLY)

install(FILES "${TORVANE_PACKAGING_OUT}/torvane.1.gz" "${TORVANE_PACKAGING_OUT}/torvane-cli.1.gz" DESTINATION share/man/man1 COMPONENT torvane)
install(FILES "${TORVANE_PACKAGING_DIR}/torvane-cli.bash-completion" DESTINATION share/bash-completion/completions
        RENAME torvane-cli COMPONENT torvane)
install(FILES "${TORVANE_PACKAGING_OUT}/it.torvane.torvane.metainfo.xml" DESTINATION share/metainfo COMPONENT torvane)
install(FILES "${TORVANE_PACKAGING_OUT}/torvane-fiera.1.gz" DESTINATION share/man/man1 COMPONENT fiera)
install(SCRIPT "${TORVANE_PACKAGING_OUT}/InstallServiceFiles.cmake" COMPONENT fiera)
install(FILES "${TORVANE_PACKAGING_DIR}/deb/torvane-fiera/lintian-overrides" DESTINATION share/lintian/overrides
        RENAME torvane-fiera COMPONENT fiera)
install(FILES "${TORVANE_PACKAGING_OUT}/changelog.gz" "${TORVANE_PACKAGING_DIR}/copyright" DESTINATION share/doc/torvane COMPONENT torvane)
install(FILES "${TORVANE_PACKAGING_OUT}/changelog.gz" "${TORVANE_PACKAGING_DIR}/copyright" DESTINATION share/doc/torvane-fiera
        COMPONENT fiera)

# The packages: installed with prefix /usr into a staging folder (DESTDIR), stripped, their
# dependencies read from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Torvane")
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL torvane fiera)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TORVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_TORVANE_PACKAGE_NAME torvane)
set(CPACK_DEBIAN_TORVANE_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_TORVANE_DESCRIPTION "offline order taking for travelling sales agents
Torvane is the order-taking application of the sales agents of a fabric and
textile manufacturer. It downloads the company's catalogue, takes orders from
scanned swatch, article and price-list barcodes with quantities per size, has
the customer sign, and sends the order to the trade-fair PC and by e-mail with
PDF, text and XML documents. It works offline between two synchronisations.
.
This package holds the window (torvane), the command line (torvane-cli) and
the demonstration company.")

set(CPACK_DEBIAN_FIERA_PACKAGE_NAME torvane-fiera)
set(CPACK_DEBIAN_FIERA_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FIERA_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_FIERA_PACKAGE_CONTROL_EXTRA
    "${TORVANE_PACKAGING_DIR}/deb/torvane-fiera/conffiles"
    "${TORVANE_PACKAGING_DIR}/deb/torvane-fiera/postinst"
    "${TORVANE_PACKAGING_DIR}/deb/torvane-fiera/prerm"
    "${TORVANE_PACKAGING_DIR}/deb/torvane-fiera/postrm")
set(CPACK_COMPONENT_FIERA_DESCRIPTION "trade-fair PC server for Torvane
The server of the trade-fair PC: it takes the orders the agents' devices
upload, serves the fair's catalogue documents and article photos, shows the
orders received on a web page and can answer the agents' login.
.
It runs as the systemd service torvane-fiera, as its own system user, with its
options in /etc/default/torvane-fiera and its files in /var/lib/torvane-fiera.")

include(CPack)
