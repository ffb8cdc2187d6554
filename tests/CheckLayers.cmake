# cmake -DSOURCE_DIR=... -P CheckLayers.cmake
# The layers, lowest first: model < io < export < ui < app. A source includes
# its own layer and the ones below it, never one above; model includes no Qt
# at all, so the rules of a design can be built and tested without it. Fails
# naming every offending file and include.
set(layers model io export ui app)
set(bad "")
foreach(layer IN LISTS layers)
  list(FIND layers ${layer} rank)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" included "${line}")
      string(REGEX MATCH "^[^/]+" top "${included}")
      list(FIND layers "${top}" includedRank)
      if(includedRank GREATER rank)
        string(APPEND bad "\n${source}: #include \"${included}\" (${top} is above ${layer})")
      elseif(layer STREQUAL "model" AND (included MATCHES "^Q" OR included MATCHES "^qt" OR top MATCHES "^Qt"))
        string(APPEND bad "\n${source}: #include <${included}> (model includes no Qt)")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Includes that break the layers:${bad}")
endif()
