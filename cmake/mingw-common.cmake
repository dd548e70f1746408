# Shared part of both toolchain files: compilers, search roots and the Wine
# runner that ctest uses to start every test program.
set(CMAKE_C_COMPILER ${TAVREL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVREL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVREL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVREL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh;${TAVREL_WINE_ARCH})
