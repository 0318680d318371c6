# Pelio.chm beside Pelio.exe: tools/helpgen (built for the build host) fills the command
# captions and keys into the pages of help/ and converts them to Shift-JIS, the help compiler
# builds the file, and helpgen clears the compile times in it so that the bytes repeat.
find_program(PELIO_HOST_CXX NAMES c++ g++ REQUIRED)
find_program(PELIO_CHMCMD chmcmd REQUIRED)
set(_help_src "${CMAKE_SOURCE_DIR}/help")
set(_help_out "${CMAKE_BINARY_DIR}/help")
set(_helpgen "${_help_out}/helpgen")
set(_helpgen_sources tools/helpgen/helpgen.cpp core/commands/accelerators.cpp core/commands/command_table.cpp
    core/commands/key_assignment.cpp core/commands/key_names.cpp)
set(_helpgen_depends)
foreach(f ${_helpgen_sources})
  list(APPEND _helpgen_depends "${CMAKE_SOURCE_DIR}/${f}")
endforeach()
file(GLOB _helpgen_headers "${CMAKE_SOURCE_DIR}/core/commands/*.h")
file(GLOB _help_names RELATIVE "${_help_src}" CONFIGURE_DEPENDS "${_help_src}/*.html" "${_help_src}/*.css"
     "${_help_src}/*.hhc" "${_help_src}/*.hhk" "${_help_src}/*.hhp")
list(SORT _help_names)
set(_help_inputs)
foreach(f ${_help_names})
  list(APPEND _help_inputs "${_help_src}/${f}")
endforeach()

add_custom_command(OUTPUT "${_helpgen}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${_help_out}"
  COMMAND "${PELIO_HOST_CXX}" -std=c++20 -O1 -Wall -Wextra "-I${CMAKE_SOURCE_DIR}" ${_helpgen_sources} -o "${_helpgen}"
  WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
  DEPENDS ${_helpgen_depends} ${_helpgen_headers}
  COMMENT "Building helpgen for the build host")
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/Pelio.chm"
  COMMAND "${CMAKE_COMMAND}" -E rm -rf "${_help_out}/pages"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${_help_out}/pages"
  COMMAND "${_helpgen}" "${_help_src}" "${_help_out}/pages" "${PROJECT_VERSION}" ${_help_names}
  COMMAND "${CMAKE_COMMAND}" -E chdir "${_help_out}/pages" "${PELIO_CHMCMD}" --no-html-scan Pelio.hhp >"${_help_out}/chmcmd.log"
  COMMAND "${_helpgen}" --clear-stamps "${_help_out}/pages/Pelio.chm"
  COMMAND "${CMAKE_COMMAND}" -E copy "${_help_out}/pages/Pelio.chm" "${CMAKE_BINARY_DIR}/Pelio.chm"
  DEPENDS "${_helpgen}" ${_help_inputs}
  COMMENT "Compiling Pelio.chm")
add_custom_target(pelio_help ALL DEPENDS "${CMAKE_BINARY_DIR}/Pelio.chm")
