# Facts the build, the product and the stand-ins share, each stated once here and handed
# to the code through generated headers.

# The file name of the Torvane library that vantel loads beside the add-in, and that the
# stand-in is built as.
if(WIN32)
  set(SYNQUO_TORVANE_FILE_NAME torvane-windows-amd64.dll)
else()
  set(SYNQUO_TORVANE_FILE_NAME torvane-linux-amd64.so)
endif()

# vantel's own version, which it reports to the service beside the add-in's.
set(VANTEL_VERSION 1.0.2)

set(SYNQUO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
