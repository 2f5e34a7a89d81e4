# Byte-identical Windows programs from any folder at any time: no build paths
# in the objects, no link time in the PE header, archives without dates or
# owners. Included after project() by this project and, through
# CMAKE_PROJECT_INCLUDE, by the libjpeg-turbo cross build, so CMAKE_SOURCE_DIR
# and CMAKE_BINARY_DIR are those of the project being built.

# The last map that matches wins: the build folder is often inside the sources.
add_compile_options(
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=.>
  $<$<COMPILE_LANGUAGE:ASM_NASM>:--reproducible>)
add_link_options(-Wl,--no-insert-timestamp)

# Debian's binutils default to deterministic archives; others may not.
foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()
