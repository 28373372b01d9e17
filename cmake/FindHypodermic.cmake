# Finds an installed Hypodermic (header-only): through its pkg-config file "libhypodermic"
# when there is one, else by its header. Defines Hypodermic_FOUND, Hypodermic_INCLUDE_DIR
# and the imported target Hypodermic::Hypodermic.

find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PC_Hypodermic QUIET libhypodermic)
endif()

find_path(Hypodermic_INCLUDE_DIR Hypodermic/Hypodermic.h HINTS ${PC_Hypodermic_INCLUDE_DIRS})

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Hypodermic REQUIRED_VARS Hypodermic_INCLUDE_DIR)
mark_as_advanced(Hypodermic_INCLUDE_DIR)

if(Hypodermic_FOUND AND NOT TARGET Hypodermic::Hypodermic)
  # The original is built on Boost's headers (signals2, function).
  find_package(Boost QUIET)
  add_library(Hypodermic::Hypodermic INTERFACE IMPORTED)
  set_target_properties(Hypodermic::Hypodermic PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${Hypodermic_INCLUDE_DIR}")
  if(TARGET Boost::headers)
    set_property(TARGET Hypodermic::Hypodermic APPEND PROPERTY INTERFACE_LINK_LIBRARIES Boost::headers)
  endif()
endif()
