# Fails when a file of one layer includes a header of a layer it may not use, or, in a
# Qt-free layer, a Qt header. Run by the build before the layer's sources are compiled
# (src/CMakeLists.txt, regdisc_layer).
#   -DLAYER=<folder> -DUSES=<folder;folder…> -DQT_FREE=ON|OFF -DSOURCE_DIR=<src> -DSTAMP=<file>
cmake_minimum_required(VERSION 3.25)
file(GLOB files "${SOURCE_DIR}/${LAYER}/*.h" "${SOURCE_DIR}/${LAYER}/*.cpp")
set(allowed ${LAYER} ${USES})
set(problems "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/")
      if(NOT CMAKE_MATCH_1 IN_LIST allowed)
        string(APPEND problems "  ${file}: ${line}  (${LAYER} may use: ${USES})\n")
      endif()
    elseif(QT_FREE AND line MATCHES "#[ \t]*include[ \t]*<Q")
      string(APPEND problems "  ${file}: ${line}  (${LAYER} is Qt-free)\n")
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "layer ${LAYER} reaches beyond what it may use:\n${problems}")
endif()
file(TOUCH "${STAMP}")
