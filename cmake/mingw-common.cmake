# What both Windows toolchains share; mingw32.cmake and mingw64.cmake set
# CMAKE_SYSTEM_PROCESSOR and TOOL_PREFIX and include this.
# posix threads, so std::thread works.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${TOOL_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOL_PREFIX}-windres)
set(WIDL_EXECUTABLE    ${TOOL_PREFIX}-widl)
set(DLLTOOL_EXECUTABLE ${TOOL_PREFIX}-dlltool)
set(OBJDUMP_EXECUTABLE ${TOOL_PREFIX}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
