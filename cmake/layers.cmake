# SPDX-License-Identifier: MIT
# The layers the README draws, as the build enforces them: a file of library yt_<room> may include
# "other/..." only when yt_<room> links yt_other, directly or through a public link of a library
# it links. A static library's private links reach its users' link lines only ($<LINK_ONLY:...>),
# so they give them no right to the headers. Every breach is named with its file and line.

# The rooms `target` may include: its own links, and their public links, all the way down.
function(yt_reachable_rooms target out)
  get_target_property(direct ${target} LINK_LIBRARIES)
  set(seen "")
  set(queue ${direct})
  while(queue)
    list(POP_FRONT queue lib)
    if(NOT lib MATCHES "^yt_(.+)$" OR lib IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${lib})
    get_target_property(public ${lib} INTERFACE_LINK_LIBRARIES)
    if(public)
      list(FILTER public EXCLUDE REGEX "LINK_ONLY")
      list(APPEND queue ${public})
    endif()
  endwhile()
  list(TRANSFORM seen REPLACE "^yt_" "")
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(yt_check_layers)
  set(breaches "")
  foreach(room ${ARGN})
    yt_reachable_rooms(yt_${room} allowed)
    file(GLOB files ${PROJECT_SOURCE_DIR}/src/${room}/*.h ${PROJECT_SOURCE_DIR}/src/${room}/*.cpp)
    foreach(file ${files})
      file(STRINGS ${file} lines)
      set(number 0)
      foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/" AND NOT CMAKE_MATCH_1 STREQUAL room
           AND NOT CMAKE_MATCH_1 IN_LIST allowed)
          file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${file})
          string(APPEND breaches "\n  ${name}:${number}: includes ${CMAKE_MATCH_1}/, which yt_${room} does not link")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(breaches)
    message(FATAL_ERROR "Includes across the layers:${breaches}")
  endif()
endfunction()
