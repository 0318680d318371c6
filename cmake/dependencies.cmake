# libjpeg-turbo (with the lossless-transform helpers), libwebp, zlib and GoogleTest for this tree.

# The target's name among the dependency builds and Wine sessions: native, fuzz (the library
# instrumented for the fuzzer), win32 or win64.
if(PELIO_FUZZ)
  set(PELIO_TARGET_NAME fuzz)
elseif(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PELIO_TARGET_NAME win64)
elseif(WIN32)
  set(PELIO_TARGET_NAME win32)
else()
  set(PELIO_TARGET_NAME native)
endif()

# The Makefile records the cached build's root in build/jpeg-root, so a re-run of CMake from
# a shell without PELIO_JPEG_ROOT still finds it.
if(NOT EXISTS "${PELIO_JPEG_PREFIX}/lib/libjpeg.a" AND EXISTS "${CMAKE_SOURCE_DIR}/build/jpeg-root")
  file(STRINGS "${CMAKE_SOURCE_DIR}/build/jpeg-root" _pelio_jpeg_root LIMIT_COUNT 1)
  set(PELIO_JPEG_PREFIX "${_pelio_jpeg_root}/${PELIO_TARGET_NAME}" CACHE PATH "" FORCE)
endif()
if(NOT PELIO_JPEG_PREFIX OR NOT EXISTS "${PELIO_JPEG_PREFIX}/lib/libjpeg.a")
  message(FATAL_ERROR "PELIO_JPEG_PREFIX must name a libjpeg-turbo build (scripts/build-libjpeg.sh)")
endif()
add_library(pelio_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(pelio_jpeg PROPERTIES
  IMPORTED_LOCATION "${PELIO_JPEG_PREFIX}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${PELIO_JPEG_PREFIX}/include")
add_library(pelio_transupp STATIC IMPORTED GLOBAL)
set_target_properties(pelio_transupp PROPERTIES
  IMPORTED_LOCATION "${PELIO_JPEG_PREFIX}/lib/libtransupp.a"
  INTERFACE_LINK_LIBRARIES pelio_jpeg)

# libwebp the same way (build/webp-root, scripts/build-libwebp.sh): the decoder with the
# demuxer for the plug-in, the encoder and muxer for tests and benchmarks.
if(NOT EXISTS "${PELIO_WEBP_PREFIX}/lib/libwebp.a" AND EXISTS "${CMAKE_SOURCE_DIR}/build/webp-root")
  file(STRINGS "${CMAKE_SOURCE_DIR}/build/webp-root" _pelio_webp_root LIMIT_COUNT 1)
  set(PELIO_WEBP_PREFIX "${_pelio_webp_root}/${PELIO_TARGET_NAME}" CACHE PATH "" FORCE)
endif()
if(NOT PELIO_WEBP_PREFIX OR NOT EXISTS "${PELIO_WEBP_PREFIX}/lib/libwebp.a")
  message(FATAL_ERROR "PELIO_WEBP_PREFIX must name a libwebp build (scripts/build-libwebp.sh)")
endif()
add_library(pelio_webp STATIC IMPORTED GLOBAL)
set_target_properties(pelio_webp PROPERTIES
  IMPORTED_LOCATION "${PELIO_WEBP_PREFIX}/lib/libwebp.a"
  INTERFACE_INCLUDE_DIRECTORIES "${PELIO_WEBP_PREFIX}/include")
# Later versions keep the sharp-YUV code in a library of its own.
if(EXISTS "${PELIO_WEBP_PREFIX}/lib/libsharpyuv.a")
  set_property(TARGET pelio_webp APPEND PROPERTY INTERFACE_LINK_LIBRARIES "${PELIO_WEBP_PREFIX}/lib/libsharpyuv.a")
endif()
if(NOT WIN32)
  set_property(TARGET pelio_webp APPEND PROPERTY INTERFACE_LINK_LIBRARIES m)
endif()
foreach(_lib webpdemux webpmux)
  add_library(pelio_${_lib} STATIC IMPORTED GLOBAL)
  set_target_properties(pelio_${_lib} PROPERTIES
    IMPORTED_LOCATION "${PELIO_WEBP_PREFIX}/lib/lib${_lib}.a"
    INTERFACE_LINK_LIBRARIES pelio_webp)
endforeach()

if(WIN32)
  # Debian's MinGW zlib for the toolchain's architecture; the static archive, so Pelio.exe
  # stays one file.
  find_library(PELIO_ZLIB_LIBRARY NAMES libz.a REQUIRED)
  find_path(PELIO_ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(pelio_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(pelio_zlib PROPERTIES
    IMPORTED_LOCATION "${PELIO_ZLIB_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${PELIO_ZLIB_INCLUDE}")
else()
  find_package(ZLIB REQUIRED)
  add_library(pelio_zlib INTERFACE)
  target_link_libraries(pelio_zlib INTERFACE ZLIB::ZLIB)
endif()

if(NOT PELIO_FUZZ)
  if(WIN32)
    # Built from the sources Debian's googletest package installs.
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# Windows binaries carry their runtime with them: Wine and users have no MinGW DLLs.
if(WIN32)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${PELIO_TARGET_NAME}")
endif()
