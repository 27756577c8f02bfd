# SPDX-License-Identifier: GPL-3.0-or-later
# The sources stand in floors, each a folder of src/ (words, dialogs and view share one)
# that may include its own headers and those of the floors below it, never those above:
#
#   platform < model < rules < session < foresight < conduct | net < control | cli < words < dialogs < view | transport < netgame < app | web
#
# The conductor (conduct: one game as every front end plays it, and the turn it
# describes) stands under them all, beside the network's frames (net: a networked game's
# frames as values and text, no sockets), which neither includes. The transport (the
# network's connections over Qt WebSockets) stands beside the windows, under the program;
# the networked game (netgame: the host's game and a player's over the transport, with
# the conductor and the command line's game) stands on it in the same room. The game controller (control: the conductor's
# signals for the windows) and the command line
# (cli) are rooms side by side on one floor: neither includes the other. The windows
# (words, dialogs, view) stand on the controller; within them the folders stand in the
# order of the table: the words every window shows, then the dialogs, then the views,
# each including only from itself and those before it. The program (app) puts the
# windows and the command line together. The game in a browser (web: the calls the page
# makes, the headless game under node) is a room beside the program, built with
# emscripten instead of Qt.
#
# Two files never include each other (a.cpp including b.h while b.cpp includes a.h):
# one of them depends on the other, not both.
#
# model, rules, session, foresight, conduct, net, cli and web include no Qt header; neither do
# the files of the platform core (velcor_platform_core), which also include none of the
# Qt platform layer's headers. control includes Qt's core only (no window, no widget);
# transport Qt's core, network and WebSockets only.
# A folder of the table that does not exist yet is simply not scanned.
#
# src/CMakeLists.txt includes this file and calls velcor_check_floors() at configure
# time. It also runs as a script, on any tree:
#   cmake -DSOURCE_DIR=<src> "-DPLATFORM_CORE=platform/a.cpp;..." -P check_floors.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

set(VELCOR_FLOOR_FOLDERS platform model rules session foresight conduct net control cli words   dialogs view    transport netgame   app web)
set(VELCOR_FLOOR_RANKS   0        1     2     3       4         5       5   6       6   7       7       7       7         7         8   8)
set(VELCOR_FLOOR_ROOMS   platform model rules session foresight conduct net control cli windows windows windows transport transport app web)
set(VELCOR_QT_FREE_FOLDERS model rules session foresight conduct net cli web)
# Rooms that never include each other, whatever their floors: the windows and the
# controller play the game, the command line plays it without them.
set(VELCOR_FLOOR_APART "windows>cli" "control>cli" "cli>control")
# Folders that may use Qt's core but nothing that shows: the headers they may include.
set(VELCOR_QT_CORE_FOLDERS control)
set(VELCOR_QT_CORE_HEADERS "^(QtCore/.*|QObject|QString|QStringList|QByteArray|QByteArrayView|QList|QVector|QVariant|QTimer|QElapsedTimer|QPointer|QCoreApplication|QMetaMethod|QMetaObject|QDateTime|QFile|QFileInfo|QDir)$")
# Folders that may use Qt's core, network and WebSockets but nothing that shows.
set(VELCOR_QT_NETWORK_FOLDERS transport netgame)
set(VELCOR_QT_NETWORK_HEADERS "^(QtNetwork/.*|QtWebSockets/.*|QTcpServer|QTcpSocket|QHostAddress|QNetworkInterface|QNetworkRequest|QUrl|QWebSocket|QWebSocketServer|QWebSocketProtocol|QWebSocketCorsAuthenticator)$")
# Files that still include each other, each pair once: one is to stop depending on the
# other. None is left, and nothing joins this list.
set(VELCOR_INCLUDE_LOOPS_LEFT "")

# Stops with a FATAL_ERROR naming every file whose include runs up a floor or brings
# Qt into std-only code, and every two files that include each other (but those left).
# platform_core lists the platform core's files relative to source_dir
# (platform/clock.cpp ...); a platform header belongs to the core when a file of that
# list has its name.
function(velcor_check_floors source_dir platform_core)
  set(core_stems "")
  foreach(file IN LISTS platform_core)
    string(REGEX REPLACE "\\.[^./]*$" "" stem "${file}")
    list(APPEND core_stems "${stem}")
  endforeach()

  file(GLOB_RECURSE files RELATIVE "${source_dir}" LIST_DIRECTORIES false
       "${source_dir}/*.cpp" "${source_dir}/*.h" "${source_dir}/*.inc")
  list(SORT files)
  set(problems "")
  foreach(file IN LISTS files)
    string(REGEX MATCH "^[^/]+" folder "${file}")
    list(FIND VELCOR_FLOOR_FOLDERS "${folder}" index)
    if(index EQUAL -1 OR file STREQUAL folder)
      continue()
    endif()
    list(GET VELCOR_FLOOR_RANKS ${index} rank)
    list(GET VELCOR_FLOOR_ROOMS ${index} room)
    string(REGEX REPLACE "\\.[^./]*$" "" stem "${file}")
    set(core FALSE)
    if(folder STREQUAL "platform" AND stem IN_LIST core_stems)
      set(core TRUE)
    endif()
    set(std_only ${core})
    if(folder IN_LIST VELCOR_QT_FREE_FOLDERS)
      set(std_only TRUE)
    endif()

    file(STRINGS "${source_dir}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "[\"<]([^\">]*)[\">]" quoted "${line}")
      set(included "${CMAKE_MATCH_1}")
      if(std_only AND included MATCHES "^Q")
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} floor uses the standard library only, no Qt")
      elseif(folder IN_LIST VELCOR_QT_CORE_FOLDERS AND included MATCHES "^Q" AND NOT included MATCHES "${VELCOR_QT_CORE_HEADERS}")
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} floor uses Qt's core only, nothing that shows")
      elseif(folder IN_LIST VELCOR_QT_NETWORK_FOLDERS AND included MATCHES "^Q" AND NOT included MATCHES "${VELCOR_QT_CORE_HEADERS}"
             AND NOT included MATCHES "${VELCOR_QT_NETWORK_HEADERS}")
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} floor uses Qt's core and network only, nothing that shows")
      endif()
      if(NOT included MATCHES "^([A-Za-z0-9_]+)/")
        continue()
      endif()
      set(to "${CMAKE_MATCH_1}")
      list(FIND VELCOR_FLOOR_FOLDERS "${to}" to_index)
      if(to_index EQUAL -1)
        continue()
      endif()
      # Who includes whom, by file name without its extension: view/a.cpp and
      # view/a.h are one file here.
      string(REGEX REPLACE "\\.[^./]*$" "" to_stem "${included}")
      set(edge "velcor_includes:${stem}>${to_stem}")
      set(back "velcor_includes:${to_stem}>${stem}")
      if(NOT to_stem STREQUAL stem AND NOT DEFINED "${edge}")
        set("${edge}" "src/${file} includes ${quoted}")
        if(DEFINED "${back}" AND NOT "${to_stem}+${stem}" IN_LIST VELCOR_INCLUDE_LOOPS_LEFT
           AND NOT "${stem}+${to_stem}" IN_LIST VELCOR_INCLUDE_LOOPS_LEFT)
          list(APPEND problems "${${back}} and ${${edge}}: two files may not include each other")
        endif()
      endif()
      list(GET VELCOR_FLOOR_RANKS ${to_index} to_rank)
      list(GET VELCOR_FLOOR_ROOMS ${to_index} to_room)
      if("${room}>${to_room}" IN_LIST VELCOR_FLOOR_APART)
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} room may not include from the ${to} room apart from it")
      elseif(to_rank GREATER rank)
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} floor may not include from the ${to} floor above it")
      elseif(to_rank EQUAL rank AND NOT to_room STREQUAL room)
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} room may not include from the ${to} room beside it")
      elseif(to_rank EQUAL rank AND to_index GREATER index)
        list(APPEND problems "src/${file} includes ${quoted}: the ${folder} folder may not include from ${to}, which stands on it")
      elseif(core AND to STREQUAL "platform" AND included MATCHES "\\.h$")
        string(REGEX REPLACE "\\.[^./]*$" "" to_stem "${included}")
        if(NOT to_stem IN_LIST core_stems)
          list(APPEND problems "src/${file} includes ${quoted}: the platform core may not include the Qt platform layer")
        endif()
      endif()
    endforeach()
  endforeach()

  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Includes that break the floors of the sources:\n  ${text}\n"
                        "(floors, low to high: platform, model, rules, session, foresight, conduct beside net, control beside cli, words < dialogs < view beside transport < netgame, app beside web)")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "check_floors: SOURCE_DIR (the src folder to check) is not a folder: '${SOURCE_DIR}'")
  endif()
  cmake_path(ABSOLUTE_PATH SOURCE_DIR NORMALIZE)
  velcor_check_floors("${SOURCE_DIR}" "${PLATFORM_CORE}")
endif()
