# The program's version, from the nearest release tag (v1.2.3) the commit descends from, as
# `git describe` names it: "1.2.3" on the tag itself, "1.2.3-4-g0123456789ab" four commits after it,
# "-dirty" added when tracked files differ from the commit. Without a tag (a clone may come without
# them) the version is "0.0.0-g" and the commit's hash, so a build still says which commit it is.
# The hash is always 12 digits: git's own length depends on how many objects a repository holds, and
# a clone must name the commit exactly as the repository it came from does.
#
# Sets ZINNOW_VERSION (the text) and ZINNOW_VERSION_MAJOR/MINOR/PATCH/BUILD, the four numbers of the
# version resource, BUILD being the number of commits since the tag.
find_package(Git QUIET)
set(_describe "")
if(GIT_FOUND)
  execute_process(
    COMMAND ${GIT_EXECUTABLE} describe --tags --match "v[0-9]*.[0-9]*.[0-9]*"
      --always --abbrev=12 --dirty
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE _describe OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET RESULT_VARIABLE _describe_result)
  if(NOT _describe_result EQUAL 0)
    set(_describe "")
  endif()
endif()

if(_describe MATCHES "^v([0-9]+)\\.([0-9]+)\\.([0-9]+)")
  set(ZINNOW_VERSION_MAJOR ${CMAKE_MATCH_1})
  set(ZINNOW_VERSION_MINOR ${CMAKE_MATCH_2})
  set(ZINNOW_VERSION_PATCH ${CMAKE_MATCH_3})
  string(SUBSTRING "${_describe}" 1 -1 ZINNOW_VERSION)
  set(ZINNOW_VERSION_BUILD 0)
  if(_describe MATCHES "-([0-9]+)-g[0-9a-f]+(-dirty)?$")
    set(ZINNOW_VERSION_BUILD ${CMAKE_MATCH_1})
  endif()
elseif(_describe STREQUAL "")
  # Not a git checkout (an unpacked source archive): nothing to say which commit it is.
  set(ZINNOW_VERSION "0.0.0")
else()
  set(ZINNOW_VERSION "0.0.0-g${_describe}")
endif()
foreach(_part MAJOR MINOR PATCH BUILD)
  if(NOT DEFINED ZINNOW_VERSION_${_part})
    set(ZINNOW_VERSION_${_part} 0)
  endif()
  # Each number of the version resource is a 16-bit word.
  if(ZINNOW_VERSION_${_part} GREATER 65535)
    set(ZINNOW_VERSION_${_part} 65535)
  endif()
endforeach()
message(STATUS "Zinnow version ${ZINNOW_VERSION}")
