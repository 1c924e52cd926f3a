# ISA-L (Reed-Solomon erasure codes, the sealed containers' parity) as the
# target velmora_isal, and utf8proc (Unicode normalisation of passwords) as
# velmora_utf8proc. Linux: Debian's libisal-dev and libutf8proc-dev.
add_library(velmora_isal INTERFACE)
add_library(velmora_utf8proc INTERFACE)
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
  target_link_libraries(velmora_utf8proc INTERFACE PkgConfig::UTF8PROC)
  # libisal-dev ships no pkg-config file.
  find_path(ISAL_INCLUDE_DIR isa-l/erasure_code.h REQUIRED)
  find_library(ISAL_LIBRARY isal REQUIRED)
  target_include_directories(velmora_isal SYSTEM INTERFACE ${ISAL_INCLUDE_DIR})
  target_link_libraries(velmora_isal INTERFACE ${ISAL_LIBRARY})
endif()
