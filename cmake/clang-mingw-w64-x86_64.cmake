# Cross build for 64-bit Windows with clang and lld, against the MinGW-w64 headers, import
# libraries and GCC runtime that the GCC cross build uses (Debian: clang, lld, llvm,
# g++-mingw-w64-x86-64-win32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES clang-14 clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES llvm-windres-14 llvm-windres
             PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib PATHS /usr/lib/llvm-14/bin REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_RC_FLAGS_INIT "--target=${TOOLCHAIN_PREFIX}")

# clang 14 does not recognise Debian's GCC folder name ("12-win32"), so it is named here: the C++
# headers of libstdc++ and the folder of libstdc++, libgcc and crtbegin.o.
file(GLOB ZORVO_MINGW_GCC_DIRS LIST_DIRECTORIES true /usr/lib/gcc/${TOOLCHAIN_PREFIX}/*-win32)
list(SORT ZORVO_MINGW_GCC_DIRS COMPARE NATURAL ORDER DESCENDING)
list(GET ZORVO_MINGW_GCC_DIRS 0 ZORVO_MINGW_GCC_DIR)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${ZORVO_MINGW_GCC_DIR}/include/c++
    ${ZORVO_MINGW_GCC_DIR}/include/c++/${TOOLCHAIN_PREFIX}
    ${ZORVO_MINGW_GCC_DIR}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${ZORVO_MINGW_GCC_DIR}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${ZORVO_MINGW_GCC_DIR}")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
