# The ZIP and the MSI made from an installed NX custom directory (cmake --install of the nx
# build) instead of from the simulated build. A folder whose brevin.dll imports the simulated
# NX is refused: that library would fail to load in every NX.
# cmake -DFOLDER=<dir> -DVERSION=<x.y.z> -DOUTPUT_DIR=<dir> [-DACCEPT_SIMULATED=ON]
#       -P PackageFolder.cmake
# ACCEPT_SIMULATED serves the test that packages the simulated build's install.
cmake_minimum_required(VERSION 3.25)
foreach(v FOLDER VERSION OUTPUT_DIR)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "PackageFolder.cmake needs -D${v}=...")
  endif()
endforeach()
get_filename_component(FOLDER "${FOLDER}" ABSOLUTE)
foreach(f startup/brevin.dll startup/vantel.dll startup/synquo.men startup/synquo.rtb
          application/start.dlx application/synquoGui.dlx application/uploadProgress.dlx
          INSTALL.md)
  if(NOT EXISTS "${FOLDER}/${f}")
    message(FATAL_ERROR "${FOLDER} is not an installed NX custom directory: ${f} is missing")
  endif()
endforeach()

find_program(OBJDUMP NAMES x86_64-w64-mingw32-objdump objdump REQUIRED)
execute_process(COMMAND ${OBJDUMP} -p "${FOLDER}/startup/brevin.dll"
                OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
string(REPLACE "DLL Name: " "" imports "${imports}")
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" lower)
  if(lower MATCHES "nxsim")
    if(NOT ACCEPT_SIMULATED)
      message(FATAL_ERROR "${FOLDER}/startup/brevin.dll imports the simulated NX (${dll}); "
                          "package a folder installed from the nx build")
    endif()
    message(STATUS "brevin.dll imports the simulated NX (${dll}), accepted for the test")
  endif()
endforeach()

set(name synquo-nx-${VERSION}-win64)
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(REMOVE "${OUTPUT_DIR}/${name}.zip" "${OUTPUT_DIR}/${name}.msi")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUTPUT_DIR}/${name}.zip" --format=zip
                        startup application INSTALL.md
                WORKING_DIRECTORY "${FOLDER}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -DFOLDER=${FOLDER} -DVERSION=${VERSION}
                        -DOUTPUT=${OUTPUT_DIR}/${name}.msi -P ${CMAKE_CURRENT_LIST_DIR}/BuildMsi.cmake
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Wrote ${OUTPUT_DIR}/${name}.zip and ${name}.msi from ${FOLDER}")
