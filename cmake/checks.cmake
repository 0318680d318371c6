# The core stays portable: no Windows header anywhere under core/.
file(GLOB_RECURSE _pelio_core_sources "${CMAKE_SOURCE_DIR}/core/*.h" "${CMAKE_SOURCE_DIR}/core/*.cpp")
foreach(_file IN LISTS _pelio_core_sources)
  file(STRINGS "${_file}" _hits REGEX "#[ \t]*include[ \t]*[<\"](windows|winuser|wingdi|winbase)\\.h[>\"]")
  if(_hits)
    message(FATAL_ERROR "${_file} includes a Windows header; core/ must stay portable")
  endif()
endforeach()
