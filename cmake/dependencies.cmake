# Every library the build needs comes from a Debian package. When one is
# absent the configure stops here and names the package to install, instead
# of a compiler or linker failing on a missing header or -l deep in the
# build. No negative result is kept in the cache: once the package is
# installed, configuring again finds it (scripts/setup does both).
#
#   tarvel_require_qt6(<component>...)
#   tarvel_require_package(<cmake-package> <debian-package>)
#   tarvel_require_pkg(<prefix> <debian-package> <module>... [IMPORTED_TARGET])
#   tarvel_require_gtest()

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

# Each module is asked for on its own first, so that the message names the
# one that is absent; then pkg_check_modules as usual, all modules under
# one prefix. With IMPORTED_TARGET the target PkgConfig::<prefix> is
# global, for every folder of the project.
macro(tarvel_require_pkg prefix debian_package)
  if(NOT PKG_CONFIG_FOUND)
    find_package(PkgConfig QUIET)
    if(NOT PKG_CONFIG_FOUND)
      tarvel_missing(pkg-config program pkg-config)
    endif()
  endif()
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
  else()
    pkg_check_modules(${prefix} REQUIRED ${_tarvel_modules})
  endif()
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
