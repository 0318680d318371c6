# Fails unless a Windows executable is of the expected kind: PE32+ for x86-64 or PE32 for
# i386, and the expected subsystem.
#   cmake -DFILE=Pelio.exe -DARCH=win64|win32 -DSUBSYSTEM=gui|console -P pe-kind.cmake

# An unsigned little-endian number of SIZE bytes at OFFSET.
function(pe_read offset size out)
  file(READ "${FILE}" hex OFFSET ${offset} LIMIT ${size} HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR want_digits "${size} * 2")
  if(NOT digits EQUAL want_digits)
    message(FATAL_ERROR "${FILE}: too short for a PE header")
  endif()
  set(value "")
  math(EXPR last "${digits} - 2")
  foreach(i RANGE 0 ${last} 2)
    string(SUBSTRING "${hex}" ${i} 2 byte)
    set(value "${byte}${value}")
  endforeach()
  math(EXPR value "0x${value}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

if(ARCH STREQUAL "win64")
  set(want_machine 34404)  # IMAGE_FILE_MACHINE_AMD64
  set(want_magic 523)      # PE32+
elseif(ARCH STREQUAL "win32")
  set(want_machine 332)    # IMAGE_FILE_MACHINE_I386
  set(want_magic 267)      # PE32
else()
  message(FATAL_ERROR "ARCH must be win64 or win32")
endif()
if(SUBSYSTEM STREQUAL "gui")
  set(want_subsystem 2)
else()
  set(want_subsystem 3)
endif()

pe_read(0 2 mz)
if(NOT mz EQUAL 23117)  # "MZ"
  message(FATAL_ERROR "${FILE}: not an executable")
endif()
pe_read(60 4 pe)
pe_read(${pe} 4 signature)
math(EXPR at_machine "${pe} + 4")
math(EXPR at_magic "${pe} + 24")
math(EXPR at_subsystem "${pe} + 92")
pe_read(${at_machine} 2 machine)
pe_read(${at_magic} 2 magic)
pe_read(${at_subsystem} 2 subsystem)
if(NOT signature EQUAL 17744 OR NOT machine EQUAL want_machine OR NOT magic EQUAL want_magic
   OR NOT subsystem EQUAL want_subsystem)
  message(FATAL_ERROR "${FILE}: machine ${machine}, optional header ${magic}, subsystem "
                      "${subsystem}; expected ${want_machine}, ${want_magic}, ${want_subsystem} (${ARCH} ${SUBSYSTEM})")
endif()
message(STATUS "${FILE}: ${ARCH} ${SUBSYSTEM} executable")
