# Installation layout and the Debian package.
#
#   cmake --build build && cpack --config build/CPackConfig.cmake -G DEB -B build/package
#   sudo apt install ./build/package/tarvel_3.0_amd64.deb
#
# The executable and Help.pdf go to bin/ (installed where they are built);
# the desktop entry, the icon and the MIME types of "*.squ" and "*.squx"
# files go where the desktop looks for them. Debian's triggers of
# shared-mime-info, desktop-file-utils and hicolor-icon-theme refresh their
# caches after installation, so the package needs no scripts of its own.
set(TARVEL_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)

install(FILES ${TARVEL_PACKAGING_DIR}/tarvel.desktop DESTINATION share/applications)
install(FILES ${TARVEL_PACKAGING_DIR}/tarvel.png DESTINATION share/icons/hicolor/64x64/apps)
install(FILES ${TARVEL_PACKAGING_DIR}/tarvel.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${TARVEL_PACKAGING_DIR}/tarvel-squ.xml DESTINATION share/mime/packages)

set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Тарвел")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Программа расчета площади многоугольника по координатам углов")
set(CPACK_PACKAGE_DESCRIPTION "Тарвел вычисляет площадь плоского многоугольника \
от 3 до 10 000 углов по координатам его углов, длины сторон и углы, и рисует его в \
масштабе. Многоугольники хранятся в файлах .squ (до 20 углов) и .squx (больше \
20 углов); координаты передаются в книги электронных таблиц и читаются из них.")
set(CPACK_PACKAGE_CONTACT "Тарвел maintainers <tarvel@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Without a release number CPack leaves the version as given: 3.0.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")

# The libraries the executable links are found by dpkg-shlibdeps when it is
# there; the list below names them for machines without it. Either way the
# packages the program needs without linking them are named: the platform
# plugins (xcb) and the Russian translations of Qt's own dialogs.
set(TARVEL_RUNTIME_DEPENDS qt6-qpa-plugins qt6-translations-l10n)
find_program(TARVEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TARVEL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  # The runtime packages of Debian 13 (orcus' 0.18 series) or Debian 12.
  execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --exists liborcus-0.18
    RESULT_VARIABLE TARVEL_ORCUS_018_MISSING OUTPUT_QUIET ERROR_QUIET)
  if(TARVEL_ORCUS_018_MISSING)
    list(APPEND TARVEL_RUNTIME_DEPENDS
      libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6
      libxlsxwriter4 liborcus-0.17-0 liborcus-parser-0.17-0
      liborcus-spreadsheet-model-0.17-0 libixion-0.17-0 libfreexl1 libzip4)
  else()
    list(APPEND TARVEL_RUNTIME_DEPENDS
      libqt6widgets6 libqt6gui6 libqt6core6t64 libqt6printsupport6
      libxlsxwriter8 liborcus-0.18-0 liborcus-parser-0.18-0
      liborcus-spreadsheet-model-0.18-0 libixion-0.18-0 libfreexl1 libzip5)
  endif()
endif()
list(JOIN TARVEL_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Recommended: the tools the program calls when present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
