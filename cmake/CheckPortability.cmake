cmake_minimum_required(VERSION 3.25)
# Fails when product code uses a name that only mingw-w64 or a pthread library offers:
# inside NX the add-in and vantel are built with NX's own toolchain (MSVC), which has
# neither. Run as `cmake -DSOURCE_DIR=<repo> -P CheckPortability.cmake`.

# The export header is the one place a compiler-specific attribute may stand.
set(allowed_attribute_files client/include/vantel/Export.h)

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/addin/*.h ${SOURCE_DIR}/addin/*.cpp ${SOURCE_DIR}/addin/*.in
  ${SOURCE_DIR}/client/*.h ${SOURCE_DIR}/client/*.cpp ${SOURCE_DIR}/client/*.in)
foreach(source ${sources})
  if(source MATCHES "/tests/")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    # Comments may name what the code avoids.
    string(REGEX REPLACE "//.*$" "" code "${line}")
    set(found "")
    if(code MATCHES "pthread")
      set(found "a pthread name")
    elseif(code MATCHES "__MINGW|_mingw|mingw_")
      set(found "a mingw-only name")
    elseif(code MATCHES "__builtin_|__GNUC__|__extension__|typeof[ \t]*\\(")
      set(found "a GCC extension")
    elseif(code MATCHES "__attribute__" AND NOT source IN_LIST allowed_attribute_files)
      set(found "__attribute__ outside the export header")
    endif()
    if(found)
      list(APPEND violations "${source}:${number}: ${found}: ${line}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Product code that NX's toolchain cannot build:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Portable: ${count} product files")
