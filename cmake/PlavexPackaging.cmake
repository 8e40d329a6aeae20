# The Debian package of the wizard and the batch tool (`make package`): all
# that the install rules put in place, under /usr.

# The batch tool's manual page and its bash and zsh completions are generated
# by the build into PLAVEX_CLI_DOCS_DIR (cli/CMakeLists.txt), as plavex-cli.1,
# plavex-cli.bash and _plavex-cli. Each is installed, and so packaged, once the
# build makes it; the manual page is compressed on the way, as Debian keeps
# manual pages.
install(CODE "set(plavex_cli_docs \"${PLAVEX_CLI_DOCS_DIR}\")
  set(plavex_share \"${CMAKE_INSTALL_DATADIR}\")
  set(plavex_man1 \"${CMAKE_INSTALL_MANDIR}/man1\")")
install(CODE [[
  # file(INSTALL) adds DESTDIR itself; the manual page's own writing does not.
  set(to "${CMAKE_INSTALL_PREFIX}")
  if(EXISTS "${plavex_cli_docs}/plavex-cli.bash")
    file(INSTALL DESTINATION "${to}/${plavex_share}/bash-completion/completions" TYPE FILE
      RENAME plavex-cli FILES "${plavex_cli_docs}/plavex-cli.bash")
  endif()
  if(EXISTS "${plavex_cli_docs}/_plavex-cli")
    file(INSTALL DESTINATION "${to}/${plavex_share}/zsh/vendor-completions" TYPE FILE
      FILES "${plavex_cli_docs}/_plavex-cli")
  endif()
  set(to "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  if(EXISTS "${plavex_cli_docs}/plavex-cli.1")
    message(STATUS "Installing: ${to}/${plavex_man1}/plavex-cli.1.gz")
    file(MAKE_DIRECTORY "${to}/${plavex_man1}")
    execute_process(COMMAND gzip -9 --no-name --stdout "${plavex_cli_docs}/plavex-cli.1"
      OUTPUT_FILE "${to}/${plavex_man1}/plavex-cli.1.gz" COMMAND_ERROR_IS_FATAL ANY)
  endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plavex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Plavex team")
set(CPACK_PACKAGE_CONTACT "The Plavex team <plavex@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "wizard that dissolves one picture into another")
set(CPACK_PACKAGE_DESCRIPTION "\
Plavex takes two pictures and makes either a cross-dissolve animation from
the first into the second, written as an AVI file (uncompressed, Motion JPEG,
H.264 or lossless FFV1), or one still picture that mixes the two at a chosen
ratio. The wizard speaks Czech and shows a live preview; the batch tool
plavex-cli makes the same files, and slideshows, from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/plavex/plavex)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link come from dpkg-shlibdeps. What is loaded at
# run time is named here: Qt's platform plugins, its image formats beyond its
# own (WebP, TIFF), the Czech translation of its dialogs, and the icon theme
# that the menu finds the icon through.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-image-formats-plugins, qt6-translations-l10n, hicolor-icon-theme")
# The welcome page's title is set in Arial, for which Liberation Sans has the
# same metrics; opening the finished file goes through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils")

include(CPack)
