# Every library the build needs comes from a Debian package. When one is
# absent the configure stops here and names the package to install, instead
# of a compiler or linker failing on a missing header or -l deep in the
# build. No negative result is kept in the cache: once the package is
# installed, configuring again finds it (scripts/setup does both).
#
#   tarvel_require_qt6(<component>...)
#   tarvel_require_package(<cmake-package> <debian-package>)
#   tarvel_require_pkg(<prefix> <debian-package> <module>... [IMPORTED_TARGET])
#   tarvel_require_pkg_series(<prefix> <debian-package> <series-list> <module>...)
#   tarvel_require_orcus()
#   tarvel_require_gtest()

# Boost is found by the configuration file its Debian package ships; CMake
# 3.30 and later warn while the old FindBoost module is still allowed.
if(POLICY CMP0167)
  cmake_policy(SET CMP0167 NEW)
endif()

function(tarvel_missing what how debian_package)
  message(FATAL_ERROR
    "Missing ${what} (${how}). Install the Debian package ${debian_package}, "
    "or run scripts/setup.")
endfunction()

# Macros, not functions: find_package and pkg_check_modules leave variables
# (Qt's, <prefix>_LINK_LIBRARIES) in the scope of the caller.
macro(tarvel_require_qt6)
  find_package(Qt6 QUIET COMPONENTS ${ARGN})
  foreach(_tarvel_component IN ITEMS ${ARGN})
    if(NOT Qt6${_tarvel_component}_FOUND)
      tarvel_missing("Qt6 ${_tarvel_component}" "CMake package Qt6${_tarvel_component}"
        qt6-base-dev)
    endif()
  endforeach()
  if(NOT Qt6_FOUND)
    tarvel_missing(Qt6 "CMake package Qt6" qt6-base-dev)
  endif()
endmacro()

macro(tarvel_require_package cmake_package debian_package)
  find_package(${cmake_package} QUIET)
  if(NOT ${cmake_package}_FOUND)
    tarvel_missing(${cmake_package} "CMake package" ${debian_package})
  endif()
endmacro()

# pkg-config's flags of a module include those of its private requirements
# (Requires.private), which are there for linking it statically; their
# include folders are no part of its interface. Debian 13's xlsxwriter
# privately requires minizip, whose folder holds a zip.h of its own that
# would hide libzip's from every file compiled with xlsxwriter's flags. So
# PkgConfig::<prefix> keeps only the folders of the modules asked for.
function(tarvel_drop_private_includes prefix)
  set(_own "")
  set(_private "")
  foreach(_module IN LISTS ARGN)
    execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --variable=includedir ${_module}
      OUTPUT_VARIABLE _dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    list(APPEND _own "${_dir}")
    execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --print-requires-private ${_module}
      OUTPUT_VARIABLE _requires OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REPLACE "\n" ";" _requires "${_requires}")
    foreach(_required IN LISTS _requires)
      string(REGEX REPLACE "[ \t].*" "" _required "${_required}")
      if(_required STREQUAL "")
        continue()
      endif()
      execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --cflags-only-I ${_required}
        OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      separate_arguments(_flags UNIX_COMMAND "${_flags}")
      foreach(_flag IN LISTS _flags)
        string(REGEX REPLACE "^-I" "" _dir "${_flag}")
        list(APPEND _private "${_dir}")
      endforeach()
    endforeach()
  endforeach()
  list(REMOVE_ITEM _own "")
  if(_own AND _private)
    list(REMOVE_ITEM _private ${_own})
  endif()
  if(NOT _private)
    return()
  endif()
  get_target_property(_dirs PkgConfig::${prefix} INTERFACE_INCLUDE_DIRECTORIES)
  if(_dirs)
    list(REMOVE_ITEM _dirs ${_private})
    set_target_properties(PkgConfig::${prefix} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_dirs}")
  endif()
endfunction()

# pkg-config itself, found once; its absence names its Debian package.
macro(tarvel_need_pkg_config)
  if(NOT PKG_CONFIG_FOUND)
    find_package(PkgConfig QUIET)
    if(NOT PKG_CONFIG_FOUND)
      tarvel_missing(pkg-config program pkg-config)
    endif()
  endif()
endmacro()

# Each module is asked for on its own first, so that the message names the
# one that is absent; then pkg_check_modules as usual, all modules under
# one prefix. With IMPORTED_TARGET the target PkgConfig::<prefix> is
# global, for every folder of the project.
macro(tarvel_require_pkg prefix debian_package)
  tarvel_need_pkg_config()
  set(_tarvel_args ${ARGN})
  set(_tarvel_modules ${ARGN})
  list(REMOVE_ITEM _tarvel_modules IMPORTED_TARGET)
  foreach(_tarvel_module IN LISTS _tarvel_modules)
    execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --exists ${_tarvel_module}
      RESULT_VARIABLE _tarvel_status OUTPUT_QUIET ERROR_QUIET)
    if(NOT _tarvel_status EQUAL 0)
      tarvel_missing(${_tarvel_module} pkg-config ${debian_package})
    endif()
  endforeach()
  if("IMPORTED_TARGET" IN_LIST _tarvel_args)
    pkg_check_modules(${prefix} REQUIRED IMPORTED_TARGET GLOBAL ${_tarvel_modules})
    tarvel_drop_private_includes(${prefix} ${_tarvel_modules})
  else()
    pkg_check_modules(${prefix} REQUIRED ${_tarvel_modules})
  endif()
endmacro()

# For libraries whose pkg-config module names carry the API series, which
# differs between Debian releases (liborcus-0.17 on Debian 12, liborcus-0.18
# from the 0.19 packages of Debian 13). Each <module> holds @SERIES@; the
# first series of <series-list> whose modules are all there is taken, and
# <prefix>_SERIES says which. When none is, the message names every module
# looked for and the Debian package.
macro(tarvel_require_pkg_series prefix debian_package series_list)
  tarvel_need_pkg_config()
  set(${prefix}_SERIES "")
  set(_tarvel_tried "")
  foreach(_tarvel_series IN ITEMS ${series_list})
    set(_tarvel_found TRUE)
    set(_tarvel_series_modules "")
    foreach(_tarvel_template IN ITEMS ${ARGN})
      string(REPLACE "@SERIES@" "${_tarvel_series}" _tarvel_module "${_tarvel_template}")
      list(APPEND _tarvel_series_modules ${_tarvel_module})
      if(_tarvel_found)
        execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --exists ${_tarvel_module}
          RESULT_VARIABLE _tarvel_status OUTPUT_QUIET ERROR_QUIET)
        if(NOT _tarvel_status EQUAL 0)
          set(_tarvel_found FALSE)
        endif()
      endif()
    endforeach()
    list(JOIN _tarvel_series_modules " and " _tarvel_joined)
    list(APPEND _tarvel_tried "${_tarvel_joined}")
    if(_tarvel_found)
      set(${prefix}_SERIES ${_tarvel_series})
      pkg_check_modules(${prefix} REQUIRED ${_tarvel_series_modules})
      break()
    endif()
  endforeach()
  if(NOT ${prefix}_SERIES)
    list(JOIN _tarvel_tried " or " _tarvel_joined)
    tarvel_missing("${_tarvel_joined}" pkg-config ${debian_package})
  endif()
endmacro()

# ixion and orcus of one API series: 0.18 (their 0.19 packages, Debian 13)
# or 0.17 (Debian 12). Leaves IXION_* and ORCUS_* (the spreadsheet model
# with it) as pkg_check_modules does, and ORCUS_SERIES.
macro(tarvel_require_orcus)
  tarvel_require_pkg_series(IXION libixion-dev "0.18;0.17" libixion-@SERIES@)
  tarvel_require_pkg_series(ORCUS liborcus-dev "${IXION_SERIES}"
    liborcus-@SERIES@ liborcus-spreadsheet-model-@SERIES@)
endmacro()

# Debian's GTest package configuration also declares the GMock targets, and
# a GTest found without libgmock-dev would fail only at the link.
macro(tarvel_require_gtest)
  find_path(TARVEL_GMOCK_INCLUDE_DIR gmock/gmock.h)
  find_library(TARVEL_GMOCK_LIBRARY gmock)
  mark_as_advanced(TARVEL_GMOCK_INCLUDE_DIR TARVEL_GMOCK_LIBRARY)
  if(NOT TARVEL_GMOCK_INCLUDE_DIR OR NOT TARVEL_GMOCK_LIBRARY)
    tarvel_missing(GMock "header gmock/gmock.h and library gmock" libgmock-dev)
  endif()
  tarvel_require_package(GTest libgtest-dev)
  if(NOT TARGET GTest::gmock)
    tarvel_missing(GMock "CMake target GTest::gmock" libgmock-dev)
  endif()
endmacro()
