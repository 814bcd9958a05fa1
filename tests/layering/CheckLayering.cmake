# The layering test: dependencies point one way, in the links, in the
# includes and in the symbols each library uses.
#   cmake -DGRAPH=<build>/link-graph.txt -DFILES=<build>/link-files.txt
#         -DSOURCE_DIR=<top> -DNM=<nm> -P CheckLayering.cmake
# Fails when
# - a library links one from a folder above it in the order below;
# - a source file includes a header from a folder above its own, or a window
#   library includes another one that is not on the allow-list;
# - a library uses a symbol that another of the program's libraries defines
#   without having it among its declared links (it builds only because every
#   program happens to link that library too);
# - a domain library, or the command-line program, reaches QtWidgets or
#   QtPrintSupport through its links;
# - a library or a source file lives in a folder that has no place in the
#   order yet (add every new folder here).

cmake_minimum_required(VERSION 3.25)

# Lower numbers sit lower; a folder may use only folders below it. The ports
# are the ground floor. The domain folders stand in an order of their own
# (people before time off before time keeping...), so that no two of them
# lean on each other. The component set sits above the domain because only
# windows use it; every window library has a place of its own above it.
set(levels
  ports 0
  engine 1
  platform 2
  storage 3
  people 5
  timeoff 6
  timekeeping 7
  settings 8
  reportengine 9
  reports 10
  exchange 11
  backup 12
  widgets 14
  platform/windows 20
  reportengine/windows 21
  people/windows 22
  timeoff/windows 23
  timekeeping/windows 24
  settings/windows 25
  reports/windows 26
  exchange/windows 27
  exchange/migrate/windows 28
  backup/windows 29
  app 40
  cli 40)
# A window library includes another one only where it is built on it.
set(window_includes_allowed
  "reports/windows>reportengine/windows"
  "settings/windows>platform/windows")
# Folders that are not part of the program.
set(unchecked tests tools bench)
set(level_windows_floor 20)
set(level_widgets 14)

set(units "")
list(LENGTH levels n)
math(EXPR last "${n} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET levels ${i} unit)
  list(GET levels ${j} level)
  list(APPEND units ${unit})
  set(level_of_${unit} ${level})
endforeach()

# The unit a folder belongs to: the longest unit that is the folder or holds
# it ("exchange/migrate" belongs to "exchange"). Empty when none.
function(unit_of folder out)
  set(best "")
  foreach(u IN LISTS units)
    string(LENGTH "${u}" ul)
    string(LENGTH "${best}" bl)
    if((folder STREQUAL u OR folder MATCHES "^${u}/") AND ul GREATER bl)
      set(best "${u}")
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(failures "")

# --- links ---
file(STRINGS "${GRAPH}" lines)
set(ours "")
foreach(line IN LISTS lines)
  string(REPLACE "|" ";" parts "${line}")
  list(LENGTH parts n)
  if(n LESS 2)
    continue()
  endif()
  list(GET parts 0 name)
  list(GET parts 1 folder)
  set(deps "")
  if(n GREATER 2)
    list(GET parts 2 deps)
    string(REPLACE "," ";" deps "${deps}")
  endif()
  set(deps_${name} "${deps}")
  if(NOT folder STREQUAL "<imported>")
    list(APPEND ours ${name})
    set(folder_${name} "${folder}")
  endif()
endforeach()

foreach(t IN LISTS ours)
  set(folder "${folder_${t}}")
  string(REGEX REPLACE "/.*" "" top "${folder}")
  if(top IN_LIST unchecked)
    continue()
  endif()
  set(top_${t} "${top}")
  unit_of("${folder}" unit)
  if(unit STREQUAL "")
    list(APPEND failures "${t} lives in '${folder}', which has no place in the layering order")
  else()
    set(level_${t} ${level_of_${unit}})
  endif()
endforeach()

# The link closure of each of the program's libraries, kept for the symbols.
foreach(t IN LISTS ours)
  if(NOT DEFINED level_${t})
    continue()
  endif()
  foreach(d IN LISTS deps_${t})
    if(DEFINED level_${d} AND level_${d} GREATER level_${t})
      list(APPEND failures "${t} (${folder_${t}}) links ${d} from '${folder_${d}}', a folder above it")
    endif()
  endforeach()
  set(todo ${deps_${t}})
  set(seen "")
  foreach(d IN LISTS deps_${t})
    set(path_${t}_${d} "${t} -> ${d}")
  endforeach()
  while(todo)
    list(POP_FRONT todo d)
    if(d IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${d})
    foreach(e IN LISTS deps_${d})
      if(NOT e IN_LIST seen)
        if(NOT DEFINED path_${t}_${e})
          set(path_${t}_${e} "${path_${t}_${d}} -> ${e}")
        endif()
        list(APPEND todo ${e})
      endif()
    endforeach()
  endwhile()
  set(closure_${t} ${seen})
  # Domain libraries: nothing of the widget toolkit anywhere in their closure.
  # The command-line program runs without a display: no widgets either.
  if(level_${t} LESS ${level_widgets} OR top_${t} STREQUAL "cli")
    foreach(bad Qt6::Widgets Qt6::PrintSupport)
      if(bad IN_LIST seen)
        list(APPEND failures "library ${t} must not reach ${bad}: ${path_${t}_${bad}}")
      endif()
    endforeach()
  endif()
endforeach()

# --- includes ---
set(sources "")
foreach(u IN LISTS units)
  if(NOT u MATCHES "/")
    file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${u}/*.cpp" "${SOURCE_DIR}/${u}/*.h")
    list(APPEND sources ${found})
  endif()
endforeach()
list(REMOVE_DUPLICATES sources)
set(source_count 0)
foreach(s IN LISTS sources)
  math(EXPR source_count "${source_count} + 1")
  get_filename_component(dir "${s}" DIRECTORY)
  unit_of("${dir}" from)
  if(from STREQUAL "")
    list(APPEND failures "${s} lives in '${dir}', which has no place in the layering order")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${s}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(inc IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${inc}")
    get_filename_component(header_dir "${header}" DIRECTORY)
    unit_of("${header_dir}" to)
    if(to STREQUAL "" OR to STREQUAL from)
      continue() # outside code, or the folder itself
    endif()
    if(level_of_${to} GREATER level_of_${from})
      list(APPEND failures "${s} (${from}) includes ${header} from '${to}', a folder above it")
    elseif(level_of_${to} GREATER_EQUAL level_windows_floor AND level_of_${from} LESS 40
           AND NOT "${from}>${to}" IN_LIST window_includes_allowed)
      list(APPEND failures "${s} (${from}) includes ${header}: one window library includes another "
                           "only where the allow-list says so")
    endif()
  endforeach()
endforeach()

# --- symbols ---
# Strong definitions (T, D, B, R) name the library that owns a symbol; weak
# ones (inline functions, templates) may stand in many.
set(symbol_libraries "")
if(FILES AND EXISTS "${FILES}")
  file(STRINGS "${FILES}" file_lines)
  foreach(line IN LISTS file_lines)
    string(REPLACE "|" ";" parts "${line}")
    list(GET parts 0 name)
    list(GET parts 1 path)
    if(NOT DEFINED level_${name} OR NOT EXISTS "${path}")
      continue()
    endif()
    list(APPEND symbol_libraries ${name})
    set(file_${name} "${path}")
    execute_process(COMMAND "${NM}" -g --defined-only "${path}" OUTPUT_VARIABLE out RESULT_VARIABLE rc
                    ERROR_QUIET)
    if(NOT rc EQUAL 0)
      list(APPEND failures "${NM} could not read ${path}")
      continue()
    endif()
    string(REGEX MATCHALL "[0-9a-f]+ [TDBR] [A-Za-z0-9_.]+" defined "${out}")
    foreach(d IN LISTS defined)
      string(REGEX REPLACE "^[0-9a-f]+ [TDBR] " "" sym "${d}")
      if(NOT DEFINED owner_${sym})
        set(owner_${sym} ${name})
      endif()
    endforeach()
  endforeach()
  foreach(name IN LISTS symbol_libraries)
    execute_process(COMMAND "${NM}" -u "${file_${name}}" OUTPUT_VARIABLE out ERROR_QUIET)
    string(REGEX MATCHALL " U [A-Za-z0-9_.]+" used "${out}")
    list(REMOVE_DUPLICATES used)
    foreach(u IN LISTS used)
      string(SUBSTRING "${u}" 3 -1 sym)
      if(DEFINED owner_${sym} AND NOT owner_${sym} STREQUAL name AND NOT owner_${sym} IN_LIST closure_${name})
        set(owner ${owner_${sym}})
        execute_process(COMMAND c++filt "${sym}" OUTPUT_VARIABLE shown OUTPUT_STRIP_TRAILING_WHITESPACE
                        ERROR_QUIET)
        if(NOT shown)
          set(shown "${sym}")
        endif()
        list(APPEND failures "${name} uses ${shown} of ${owner} without linking ${owner}")
      endif()
    endforeach()
  endforeach()
endif()

list(LENGTH ours count)
list(LENGTH symbol_libraries checked)
if(failures)
  list(REMOVE_DUPLICATES failures)
  string(REPLACE ";" "\n  " text "${failures}")
  message(FATAL_ERROR "Layering broken:\n  ${text}")
endif()
message(STATUS "Layering holds for ${count} libraries (${checked} checked symbol by symbol) and ${source_count} "
               "source files")
