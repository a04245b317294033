# The toolchain of the NX build: NX Open's C++ classes and the standard library cross between
# NX, brevin and vantel, so all three need NX's own compiler, MSVC for x64, with the DLL
# runtime (/MD), C++ exceptions (/EHsc) and C++17.
# CMakeLists.txt refuses any other generator before the first compiler check.
set(CMAKE_GENERATOR_PLATFORM x64 CACHE STRING "" FORCE)
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
set(CMAKE_CXX_FLAGS_INIT "/EHsc /std:c++17")
