# libzip and libsodium as the targets ws::zip and ws::sodium: through their CMake config
# packages when present, through pkg-config otherwise. Debian's libzip package installs a
# config that names the libzip-tools programs and fails without them, so on Linux the
# config packages are skipped unless WS_CONFIG_PACKAGES is set.
if(WIN32)
  set(ws_config_default ON)
else()
  set(ws_config_default OFF)
endif()
option(WS_CONFIG_PACKAGES "Find libzip and libsodium through their CMake packages first"
       ${ws_config_default})

if(WS_CONFIG_PACKAGES)
  find_package(libzip CONFIG QUIET)
  find_package(unofficial-sodium CONFIG QUIET) # vcpkg's name
  find_package(sodium CONFIG QUIET)
endif()

if(TARGET libzip::zip)
  add_library(ws::zip ALIAS libzip::zip)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET GLOBAL libzip)
  add_library(ws::zip ALIAS PkgConfig::LIBZIP)
endif()

if(TARGET unofficial-sodium::sodium)
  add_library(ws::sodium ALIAS unofficial-sodium::sodium)
elseif(TARGET sodium)
  add_library(ws::sodium ALIAS sodium)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET GLOBAL libsodium)
  add_library(ws::sodium ALIAS PkgConfig::SODIUM)
endif()
