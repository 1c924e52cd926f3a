# ISA-L (Reed-Solomon erasure codes, the sealed containers' parity) as the
# target velmora_isal, and utf8proc (Unicode normalisation of passwords) as
# velmora_utf8proc. Linux: Debian's libisal-dev and libutf8proc-dev. Windows:
# the same versions built for mingw-w64 from Debian's source packages, once,
# into the build tree (scripts/build-erasure-unicode-mingw.sh; later
# configures find them built).
add_library(velmora_isal INTERFACE)
add_library(velmora_utf8proc INTERFACE)
if(WIN32)
  foreach(library isa-l utf8proc)
    set(dir ${CMAKE_BINARY_DIR}/${library})
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-erasure-unicode-mingw.sh
                            ${library} ${dir} RESULT_VARIABLE built)
    if(NOT built EQUAL 0)
      message(FATAL_ERROR "${library} for mingw-w64 could not be built (see above)")
    endif()
  endforeach()
  target_include_directories(velmora_isal SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/isa-l/include)
  target_link_libraries(velmora_isal INTERFACE ${CMAKE_BINARY_DIR}/isa-l/lib/libisal.a)
  target_include_directories(velmora_utf8proc SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/utf8proc/include)
  # Linked in statically: no DLL import declarations.
  target_compile_definitions(velmora_utf8proc INTERFACE UTF8PROC_STATIC)
  target_link_libraries(velmora_utf8proc INTERFACE ${CMAKE_BINARY_DIR}/utf8proc/lib/libutf8proc.a)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ISAL REQUIRED IMPORTED_TARGET libisal)
  pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
  target_link_libraries(velmora_isal INTERFACE PkgConfig::ISAL)
  target_link_libraries(velmora_utf8proc INTERFACE PkgConfig::UTF8PROC)
endif()
