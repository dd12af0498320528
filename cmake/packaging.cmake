# Installation layout and the Debian packages.
#
#   cmake --build build && cpack --config build/CPackConfig.cmake -G DEB -B build/package
#   sudo apt install ./build/package/tarvel_3.0_amd64.deb ./build/package/tarvel-gis_3.0_amd64.deb
#
# Two packages, one for each install component: tarvel holds the program
# and everything it needs to start; tarvel-gis only the module that reads
# GIS and CAD files, since GDAL and what it brings are many times the rest.
# tarvel recommends tarvel-gis, so apt installs both unless told not to,
# and the program without it says what to install when such a file is
# opened.
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
list(JOIN TARVEL_RUNTIME_DEPENDS ", " CPACK_DEBIAN_TARVEL_PACKAGE_DEPENDS)
# Recommended: the tools the program calls when present, and the GIS module.
set(CPACK_DEBIAN_TARVEL_PACKAGE_RECOMMENDS
  "shared-mime-info, desktop-file-utils, hicolor-icon-theme, tarvel-gis")

# ---- tarvel-gis: the GIS module alone ----
# It is loaded by the program of the same version only. Its GDAL comes from
# dpkg-shlibdeps too; without it, from the package named after the soname
# of the GDAL built against (libgdal32 on Debian 12, libgdal36 on Debian 13).
set(TARVEL_GIS_DEPENDS "tarvel (= ${PROJECT_VERSION})")
if(NOT TARVEL_DPKG_SHLIBDEPS)
  find_library(TARVEL_GDAL_LIBRARY NAMES gdal NO_CACHE)
  get_filename_component(TARVEL_GDAL_REAL "${TARVEL_GDAL_LIBRARY}" REALPATH)
  if(TARVEL_GDAL_REAL MATCHES "libgdal\\.so\\.([0-9]+)")
    list(APPEND TARVEL_GIS_DEPENDS "libgdal${CMAKE_MATCH_1}")
  elseif(TARVEL_ORCUS_018_MISSING)
    list(APPEND TARVEL_GIS_DEPENDS libgdal32)
  else()
    list(APPEND TARVEL_GIS_DEPENDS libgdal36)
  endif()
endif()
list(JOIN TARVEL_GIS_DEPENDS ", " CPACK_DEBIAN_GIS_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_GIS_PACKAGE_NAME tarvel-gis)
set(CPACK_DEBIAN_GIS_PACKAGE_SECTION science)
# CPack puts the summary above each package's own text: the packages share it.
set(CPACK_COMPONENT_GIS_DESCRIPTION "Модуль программы Тарвел, читающий замкнутые контуры \
из чертежей DXF и файлов ГИС (GeoJSON, KML и KMZ, MapInfo MIF/MID и TAB, Shapefile) с \
помощью GDAL.")
set(CPACK_COMPONENT_TARVEL_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tarvel gis)
set(CPACK_DEBIAN_TARVEL_PACKAGE_NAME tarvel)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
