# Cursors and toolbar bitmaps: drawn from the text maps in resources/art by tools/artgen, a
# small program built for the build host, so no binary artwork lives in the repository.
find_program(PELIO_HOST_CXX NAMES c++ g++ REQUIRED)
set(PELIO_ART_DIR "${CMAKE_BINARY_DIR}/art")
set(_artgen "${PELIO_ART_DIR}/artgen")
set(_art_inputs "${CMAKE_SOURCE_DIR}/resources/art/cursors.txt" "${CMAKE_SOURCE_DIR}/resources/art/buttons.txt")

set(PELIO_ART_FILES)
foreach(id RANGE 110 124)
  list(APPEND PELIO_ART_FILES "${PELIO_ART_DIR}/cursor_${id}.cur")
endforeach()
foreach(id 130 131 132 133 140 141 142)
  list(APPEND PELIO_ART_FILES "${PELIO_ART_DIR}/cursor_${id}.cur")
endforeach()
list(APPEND PELIO_ART_FILES "${PELIO_ART_DIR}/toolbar_150.bmp" "${PELIO_ART_DIR}/toolbar_151.bmp")

add_custom_command(OUTPUT "${_artgen}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${PELIO_ART_DIR}"
  COMMAND "${PELIO_HOST_CXX}" -std=c++20 -O1 -Wall -Wextra "-I${CMAKE_SOURCE_DIR}"
          tools/artgen/artgen.cpp core/view/pan_cursor.cpp -o "${_artgen}"
  WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
  DEPENDS "${CMAKE_SOURCE_DIR}/tools/artgen/artgen.cpp" "${CMAKE_SOURCE_DIR}/core/view/pan_cursor.cpp"
          "${CMAKE_SOURCE_DIR}/core/view/pan_cursor.h" "${CMAKE_SOURCE_DIR}/core/view/zoom.h"
  COMMENT "Building artgen for the build host")
add_custom_command(OUTPUT ${PELIO_ART_FILES}
  COMMAND "${_artgen}" ${_art_inputs} "${PELIO_ART_DIR}"
  DEPENDS "${_artgen}" ${_art_inputs}
  COMMENT "Drawing cursors and toolbar bitmaps")
add_custom_target(pelio_artwork DEPENDS ${PELIO_ART_FILES})
