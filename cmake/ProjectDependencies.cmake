# Third-party dependencies, all from Debian packages (scripts/install-deps.sh).
find_package(Qt5 5.15 REQUIRED COMPONENTS Core Gui Widgets Network Test)
find_package(Boost 1.74 REQUIRED)
find_package(PkgConfig REQUIRED)

find_package(glog CONFIG QUIET)
if(NOT TARGET glog::glog)
  pkg_check_modules(GLOG REQUIRED IMPORTED_TARGET libglog)
  add_library(glog::glog ALIAS PkgConfig::GLOG)
endif()

set(CMAKE_AUTOMOC ON)

# Hypodermic: an installed original when there is one, otherwise our stand-in under compat/
# (see compat/CMakeLists.txt). RQ_USE_COMPAT_HYPODERMIC forces the stand-in.
option(RQ_USE_COMPAT_HYPODERMIC "Use the bundled Hypodermic subset even if one is installed" OFF)
set(RQ_HYPODERMIC_INSTALLED FALSE)
if(NOT RQ_USE_COMPAT_HYPODERMIC)
  # Our own headers never count as an installed original.
  list(APPEND CMAKE_IGNORE_PATH "${PROJECT_SOURCE_DIR}/compat")
  find_package(Hypodermic QUIET)
  set(RQ_HYPODERMIC_INSTALLED ${Hypodermic_FOUND})
endif()
