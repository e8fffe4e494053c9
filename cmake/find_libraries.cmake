# libzip and libsodium as the targets ws::zip and ws::sodium: through their CMake config
# packages when present, through pkg-config otherwise.
find_package(libzip CONFIG QUIET)
if(TARGET libzip::zip)
  add_library(ws::zip ALIAS libzip::zip)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET GLOBAL libzip)
  add_library(ws::zip ALIAS PkgConfig::LIBZIP)
endif()

find_package(unofficial-sodium CONFIG QUIET) # vcpkg's name
find_package(sodium CONFIG QUIET)
if(TARGET unofficial-sodium::sodium)
  add_library(ws::sodium ALIAS unofficial-sodium::sodium)
elseif(TARGET sodium)
  add_library(ws::sodium ALIAS sodium)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET GLOBAL libsodium)
  add_library(ws::sodium ALIAS PkgConfig::SODIUM)
endif()
