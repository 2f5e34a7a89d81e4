# libjpeg-turbo (API 62) for the Windows build: Debian ships no MinGW package,
# so the Debian source package is fetched and cross-built once, static and with
# SIMD, inside the build tree. Later configures reuse the result as long as the
# files it is built with stay the same.
set(LJT_ROOT ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo)
set(LJT_PREFIX ${LJT_ROOT}/install)
set(LJT_LIB ${LJT_PREFIX}/lib/libjpeg.a)

# What the library is built with; a change rebuilds it, so a build tree made
# before a flag changed does not keep linking the old library.
set(LJT_STAMP "")
foreach(file ${CMAKE_CURRENT_LIST_FILE} ${CMAKE_CURRENT_LIST_DIR}/reproducible.cmake
             ${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake ${CMAKE_TOOLCHAIN_FILE})
  file(SHA256 ${file} hash)
  string(APPEND LJT_STAMP "${hash}\n")
endforeach()
set(LJT_STAMP_FILE ${LJT_ROOT}/built-with.txt)
set(LJT_BUILT_WITH "")
if(EXISTS ${LJT_STAMP_FILE})
  file(READ ${LJT_STAMP_FILE} LJT_BUILT_WITH)
endif()

if(NOT EXISTS ${LJT_LIB} OR NOT LJT_BUILT_WITH STREQUAL LJT_STAMP)
  file(MAKE_DIRECTORY ${LJT_ROOT}/download)
  file(GLOB LJT_TARBALL ${LJT_ROOT}/download/libjpeg-turbo_*.orig.tar.gz)
  if(NOT LJT_TARBALL)
    message(STATUS "Fetching the libjpeg-turbo source package")
    execute_process(COMMAND apt-get source --download-only libjpeg-turbo
                    WORKING_DIRECTORY ${LJT_ROOT}/download
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    file(GLOB LJT_TARBALL ${LJT_ROOT}/download/libjpeg-turbo_*.orig.tar.gz)
    if(NOT rc EQUAL 0 OR NOT LJT_TARBALL)
      message(FATAL_ERROR "apt-get source libjpeg-turbo failed: is a deb-src entry configured? (scripts/setup.sh adds one)")
    endif()
  endif()
  list(GET LJT_TARBALL 0 LJT_TARBALL)
  file(REMOVE_RECURSE ${LJT_ROOT}/src ${LJT_ROOT}/build)
  file(MAKE_DIRECTORY ${LJT_ROOT}/src)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${LJT_TARBALL}
                  WORKING_DIRECTORY ${LJT_ROOT}/src)
  file(GLOB LJT_SRC_DIR LIST_DIRECTORIES true ${LJT_ROOT}/src/libjpeg-turbo-*)
  file(REMOVE_RECURSE ${LJT_PREFIX})
  # The library's build date goes into its version string: take the date of
  # its own sources (the release's change log), not today's.
  file(TIMESTAMP ${LJT_SRC_DIR}/ChangeLog.md LJT_BUILD_DATE "%Y%m%d" UTC)
  message(STATUS "Cross-building libjpeg-turbo from ${LJT_SRC_DIR}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${LJT_SRC_DIR} -B ${LJT_ROOT}/build
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
            -DCMAKE_PROJECT_INCLUDE=${CMAKE_CURRENT_LIST_DIR}/reproducible.cmake
            -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX=${LJT_PREFIX}
            -DBUILD=${LJT_BUILD_DATE}
            -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
            -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
    RESULT_VARIABLE rc OUTPUT_FILE ${LJT_ROOT}/configure.log ERROR_FILE ${LJT_ROOT}/configure.log)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "libjpeg-turbo configure failed, see ${LJT_ROOT}/configure.log")
  endif()
  set(LJT_JOBS 2)
  if(DEFINED ENV{VISTREL_JOBS})
    set(LJT_JOBS $ENV{VISTREL_JOBS})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${LJT_ROOT}/build --target install -j ${LJT_JOBS}
                  RESULT_VARIABLE rc OUTPUT_FILE ${LJT_ROOT}/build.log ERROR_FILE ${LJT_ROOT}/build.log)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${LJT_LIB})
    message(FATAL_ERROR "libjpeg-turbo build failed, see ${LJT_ROOT}/build.log")
  endif()
  file(WRITE ${LJT_STAMP_FILE} "${LJT_STAMP}")
endif()

add_library(vistrel_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(vistrel_jpeg PROPERTIES
  IMPORTED_LOCATION ${LJT_LIB}
  INTERFACE_INCLUDE_DIRECTORIES ${LJT_PREFIX}/include)
