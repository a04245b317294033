# Third-party dependencies, all from Debian packages. The Windows build compiles
# GoogleTest from its source package and reads nlohmann/json's headers in place.
find_package(Threads REQUIRED)

if(WIN32)
  # The host's nlohmann headers, without the rest of /usr/include.
  set(SYNQUO_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
  file(MAKE_DIRECTORY ${SYNQUO_THIRD_PARTY_INCLUDE})
  if(NOT EXISTS ${SYNQUO_THIRD_PARTY_INCLUDE}/nlohmann)
    file(CREATE_LINK /usr/include/nlohmann ${SYNQUO_THIRD_PARTY_INCLUDE}/nlohmann SYMBOLIC)
  endif()
  add_library(nlohmann_json INTERFACE)
  target_include_directories(nlohmann_json SYSTEM INTERFACE ${SYNQUO_THIRD_PARTY_INCLUDE})
  add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()

  # The mingw runtime DLLs lie next to every module, as they would on a PC, and ship with the
  # add-in.
  set(SYNQUO_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(COPY ${dll_path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  endforeach()
  file(COPY /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
       DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/cmake/wine-run;${CMAKE_BINARY_DIR}/wineprefix")
else()
  find_package(nlohmann_json 3.11 REQUIRED)
  find_package(GTest REQUIRED)
  find_package(benchmark QUIET)
endif()
