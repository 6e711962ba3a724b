# The program is built with MinGW-w64's win32 thread model: it starts no thread
# of its own, and the POSIX thread library that the "-posix" compilers link
# into every program imports functions Windows XP does not have, so the loader
# there would refuse to start it. GoogleTest needs the POSIX model (std::mutex),
# so a tree that builds the tests compiles with "-posix" and builds the program
# in a tree of its own (see CMakeLists.txt).
set(POSTWRIGHT_MINGW_THREADS win32 CACHE STRING "MinGW-w64 thread model: win32 (the program) or posix (the tests)")
set_property(CACHE POSTWRIGHT_MINGW_THREADS PROPERTY STRINGS win32 posix)
set(CMAKE_C_COMPILER ${POSTWRIGHT_MINGW_TRIPLE}-gcc-${POSTWRIGHT_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${POSTWRIGHT_MINGW_TRIPLE}-g++-${POSTWRIGHT_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${POSTWRIGHT_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${POSTWRIGHT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything linked in: the programs run with no DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
