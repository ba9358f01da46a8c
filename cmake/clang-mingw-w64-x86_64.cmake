# Cross build for 64-bit Windows with Debian's clang and lld, on the mingw-w64
# headers, import libraries and the posix-threads libstdc++ of the GCC cross
# compiler (packages clang, lld, g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${_triple})
set(CMAKE_CXX_COMPILER_TARGET ${_triple})
# The resource script and the static libraries go through binutils, as in the
# GCC build; the host's ar may not read Windows objects.
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_AR ${_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_triple}-ranlib CACHE FILEPATH "")

# The sysroot keeps the host's /usr/include out of the search path.
set(CMAKE_SYSROOT /usr/${_triple})

# clang looks for libstdc++ under a version folder such as 12, but Debian keeps
# the posix-threads one under 12-posix: name its headers and libraries here.
file(GLOB _gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${_triple}/*-posix)
list(SORT _gcc_dirs COMPARE NATURAL ORDER DESCENDING)
set(_gcc_dir "")
if(_gcc_dirs)
    list(GET _gcc_dirs 0 _gcc_dir)
endif()
if(NOT IS_DIRECTORY "${_gcc_dir}/include/c++")
    message(FATAL_ERROR "No posix-threads libstdc++ under /usr/lib/gcc/${_triple}: "
                        "install g++-mingw-w64-x86-64-posix (tools/deps.sh)")
endif()
set(_cxx_include "${_gcc_dir}/include/c++")
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${_cxx_include} ${_cxx_include}/${_triple} ${_cxx_include}/backward)
# libstdc++ of the posix flavour calls winpthread, which the GCC driver adds
# by itself and clang's does not. lld finds archive members wherever the
# archive stands on the line, so the linker flags can carry it. (A
# CMAKE_EXE_LINKER_FLAGS given on the command line replaces these.)
set(_link_flags "-fuse-ld=lld -L${_gcc_dir} -lwinpthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_link_flags}")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
