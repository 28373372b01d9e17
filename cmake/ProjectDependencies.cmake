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
