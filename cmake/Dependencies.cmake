# zlib, libpng and libjpeg. On Linux they come from Debian; for mingw, zlib is
# Debian's static libz.a and libpng/libjpeg-turbo are built by
# scripts/build-mingw-deps.sh into CUBESAVER_MINGW_PREFIX.
if(WIN32)
    set(CUBESAVER_MINGW_PREFIX "$ENV{HOME}/.cache/cubesaver/mingw-deps" CACHE PATH "Prefix of the mingw builds of libpng and libjpeg-turbo")
    list(APPEND CMAKE_FIND_ROOT_PATH "${CUBESAVER_MINGW_PREFIX}")
    # The package also ships an import library for a DLL: take the archive.
    set(ZLIB_LIBRARY /usr/x86_64-w64-mingw32/lib/libz.a CACHE FILEPATH "" FORCE)
    set(ZLIB_INCLUDE_DIR /usr/x86_64-w64-mingw32/include CACHE PATH "" FORCE)
    set(PNG_LIBRARY "${CUBESAVER_MINGW_PREFIX}/lib/libpng16.a" CACHE FILEPATH "" FORCE)
    set(PNG_PNG_INCLUDE_DIR "${CUBESAVER_MINGW_PREFIX}/include" CACHE PATH "" FORCE)
    set(JPEG_LIBRARY "${CUBESAVER_MINGW_PREFIX}/lib/libjpeg.a" CACHE FILEPATH "" FORCE)
    set(JPEG_INCLUDE_DIR "${CUBESAVER_MINGW_PREFIX}/include" CACHE PATH "" FORCE)
endif()

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)

if(CUBESAVER_TESTS)
    if(WIN32)
        # GoogleTest built with mingw from Debian's source copy.
        set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    else()
        find_package(GTest REQUIRED)
    endif()
endif()
