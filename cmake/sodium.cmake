# libsodium, the one cryptographic library, as the target velmora_sodium.
# Linux: Debian's libsodium-dev, found through pkg-config. Windows: the same
# version built for mingw-w64 from Debian's source package, once, into the
# build tree (scripts/build-sodium-mingw.sh; later configures find it built).
add_library(velmora_sodium INTERFACE)
if(WIN32)
  set(VELMORA_SODIUM_DIR ${CMAKE_BINARY_DIR}/libsodium)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-sodium-mingw.sh ${VELMORA_SODIUM_DIR}
                  RESULT_VARIABLE sodium_built)
  if(NOT sodium_built EQUAL 0)
    message(FATAL_ERROR "libsodium for mingw-w64 could not be built (see above)")
  endif()
  target_include_directories(velmora_sodium SYSTEM INTERFACE ${VELMORA_SODIUM_DIR}/include)
  # Linked in statically: no DLL import declarations. Its random source
  # (RtlGenRandom) lives in advapi32.
  target_compile_definitions(velmora_sodium INTERFACE SODIUM_STATIC)
  target_link_libraries(velmora_sodium INTERFACE ${VELMORA_SODIUM_DIR}/lib/libsodium.a advapi32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
  target_link_libraries(velmora_sodium INTERFACE PkgConfig::SODIUM)
endif()
