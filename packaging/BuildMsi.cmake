# Builds the MSI from a build tree: installs the NX folder (component nx) into a stage, lists
# its startup and application folders with wixl-heat and compiles synquo-nx.wxs with wixl.
# cmake -DBUILD_DIR=<tree> -DCONFIG=<Release|Debug> -DVERSION=<x.y.z> -DOUTPUT=<file.msi>
#       -P BuildMsi.cmake
# With -DFOLDER=<installed custom directory> instead of BUILD_DIR and CONFIG, that folder is
# staged as it is.
cmake_minimum_required(VERSION 3.25)
set(required VERSION OUTPUT)
if(NOT DEFINED FOLDER)
  list(APPEND required BUILD_DIR CONFIG)
endif()
foreach(v ${required})
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "BuildMsi.cmake needs -D${v}=...")
  endif()
endforeach()
find_program(WIXL wixl REQUIRED)
find_program(WIXL_HEAT wixl-heat REQUIRED)

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
set(work ${output_dir}/msi-work)
set(stage ${work}/SynquoNX)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
if(DEFINED FOLDER)
  file(COPY ${FOLDER}/ DESTINATION ${stage})
else()
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --config ${CONFIG}
                          --component nx --prefix ${stage} --strip
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endif()

file(GLOB_RECURSE files ${stage}/startup/* ${stage}/application/*)
list(SORT files)
list(JOIN files "\n" file_list)
file(WRITE ${work}/files.txt "${file_list}\n")
execute_process(COMMAND ${WIXL_HEAT} -p ${stage}/ --component-group SynquoFolder --var var.SourceDir
                        --directory-ref INSTALLDIR --win64
                INPUT_FILE ${work}/files.txt
                OUTPUT_FILE ${work}/folder.wxs COMMAND_ERROR_IS_FATAL ANY)
# wixl takes sources relative to where it runs.
execute_process(COMMAND ${WIXL} -a x64 -D Win64=yes -D SourceDir=SynquoNX -D Version=${VERSION}
                        -o ${OUTPUT} ${CMAKE_CURRENT_LIST_DIR}/synquo-nx.wxs ${work}/folder.wxs
                WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${work})
message(STATUS "Wrote ${OUTPUT}")
