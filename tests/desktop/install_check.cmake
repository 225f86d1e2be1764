# Installs the build into a fresh prefix and checks each file a desktop looks for: the program,
# the command-line front end and its help beside it, the menu entry, the metadata and every icon size in its own folder.
# Arguments: BUILD_DIR PREFIX BINDIR DATADIR APP_ID HELP_SOURCE.
file(REMOVE_RECURSE "${PREFIX}")
set(ENV{DESTDIR} "")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}${err}")
endif()

set(missing "")
foreach(f "${BINDIR}/quendra" "${BINDIR}/quendra-cli" "${BINDIR}/help.html" "${DATADIR}/applications/${APP_ID}.desktop"
          "${DATADIR}/metainfo/${APP_ID}.metainfo.xml" "${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg")
  if(NOT EXISTS "${PREFIX}/${f}" OR IS_DIRECTORY "${PREFIX}/${f}")
    string(APPEND missing " ${f}")
  endif()
endforeach()

# Each PNG must be as large as its folder says: width and height are bytes 16 to 23 of the file.
foreach(size 16 32 48 64 128 256)
  set(f "${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
  if(NOT EXISTS "${PREFIX}/${f}")
    string(APPEND missing " ${f}")
    continue()
  endif()
  file(READ "${PREFIX}/${f}" dims OFFSET 16 LIMIT 8 HEX)
  math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${hex}" 2 -1 hex)
  string(LENGTH "${hex}" len)
  while(len LESS 8)
    string(PREPEND hex "0")
    string(LENGTH "${hex}" len)
  endwhile()
  string(TOLOWER "${hex}${hex}" want)
  if(NOT dims STREQUAL want)
    message(FATAL_ERROR "${f} is not ${size}x${size} (width and height bytes ${dims})")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed:${missing}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${HELP_SOURCE}" "${PREFIX}/${BINDIR}/help.html"
                RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "the installed help.html differs from ${HELP_SOURCE}")
endif()

# The menu entry names the installed icon and program.
file(STRINGS "${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop" icon REGEX "^Icon=")
file(STRINGS "${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop" exec REGEX "^Exec=")
if(NOT icon STREQUAL "Icon=${APP_ID}" OR NOT exec MATCHES "^Exec=quendra( |$)")
  message(FATAL_ERROR "the menu entry says '${icon}' and '${exec}'")
endif()
message(STATUS "installed into ${PREFIX}")
