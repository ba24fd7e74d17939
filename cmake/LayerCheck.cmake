# Which folder may include from which: the one table of the program's layers.
# Each rule is "WHERE: ALLOWED...". WHERE is a folder or a single file; the
# longest WHERE that holds a source decides. ALLOWED are folders or headers it
# may include from; an entry "-FOLDER" is refused even inside an allowed one.
# Only quoted includes of the program's own folders are checked; tests/ and
# bench/ may include anything.
set(UDECOMP_LAYERS
  "engine/kernel: engine/kernel platform/presentation.h"
  # The table of end stages names the sizes each route takes.
  "engine/endstage.h: engine/kernel engine/synthesis/gate.h engine/shannon/fewestcnots.h engine/numerical/numericalroute.h"
  # The random-matrix command fills the workspace's matrix and the grid.
  "engine/kernel/randomunitary.cpp: engine/kernel engine/reduction/tpq.h platform/presentation.h workspace/workspace.h ui/matrixgrid.h"
  # The engine works on the workspace and reaches the user through the presentation;
  # the reduction shows its matrix in the grid, the optimizer draws its steps.
  "engine/reduction: engine/kernel engine/reduction platform/presentation.h workspace/workspace.h ui/matrixgrid.h"
  "engine/synthesis: engine/kernel engine/synthesis engine/optimization/gateshape.h platform/presentation.h workspace/workspace.h"
  "engine/optimization: engine/kernel engine/synthesis engine/optimization platform/presentation.h workspace/workspace.h ui/circuitdrawing.h"
  "engine/shannon: engine/kernel engine/synthesis engine/shannon"
  "engine/numerical: engine/kernel engine/synthesis engine/shannon engine/numerical"
  # The OpenQASM exporter still reads the circuit from the workspace.
  "interchange: engine platform -platform/qt interchange workspace/workspace.h"
  # The driver draws the circuit; the import glue sets the qubit count as the field does.
  "workspace: engine interchange platform -platform/qt workspace ui/circuitdrawing.h ui/edit1change.h"
  "ui: engine workspace interchange platform -platform/qt ui"
  "platform: engine/kernel platform -platform/qt"
  "platform/qt: engine workspace interchange ui platform"
  "app: engine workspace interchange ui platform app"
  "python: engine workspace interchange ui platform -platform/qt python"
)
set(UDECOMP_LAYER_FOLDERS engine workspace interchange ui platform app python tests bench)

# True in ${out} when `path` is `prefix` itself or lies inside the folder `prefix`.
function(udecomp_path_within path prefix out)
  string(LENGTH "${prefix}" length)
  string(SUBSTRING "${path}" 0 ${length} head)
  if(path STREQUAL prefix OR (head STREQUAL prefix AND path MATCHES "^${prefix}/"))
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Fails the configure step naming both files when a source includes from a folder its rule does not allow.
function(udecomp_check_layers)
  set(patterns)
  foreach(folder IN LISTS UDECOMP_LAYER_FOLDERS)
    list(APPEND patterns ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  endforeach()
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${patterns})
  foreach(file IN LISTS files)
    file(RELATIVE_PATH source ${CMAKE_SOURCE_DIR} ${file})
    if(source MATCHES "^(tests|bench)/")
      continue()
    endif()
    set(rule "")
    set(ruleLength 0)
    foreach(entry IN LISTS UDECOMP_LAYERS)
      string(REGEX REPLACE ":.*" "" where "${entry}")
      udecomp_path_within("${source}" "${where}" inside)
      string(LENGTH "${where}" length)
      if(inside AND length GREATER ruleLength)
        set(rule "${entry}")
        set(ruleLength ${length})
      endif()
    endforeach()
    if(rule STREQUAL "")
      message(FATAL_ERROR "${source} lies in no folder of the layer table in cmake/LayerCheck.cmake")
    endif()
    string(REGEX REPLACE "^[^:]*:[ ]*" "" allowed "${rule}")
    separate_arguments(allowed UNIX_COMMAND "${allowed}")
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" included "${line}")
      string(REGEX REPLACE "/.*" "" top "${included}")
      if(NOT included MATCHES "/" OR NOT top IN_LIST UDECOMP_LAYER_FOLDERS)
        continue()
      endif()
      set(permitted FALSE)
      foreach(entry IN LISTS allowed)
        if(entry MATCHES "^-(.*)")
          udecomp_path_within("${included}" "${CMAKE_MATCH_1}" refused)
          if(refused)
            set(permitted FALSE)
            break()
          endif()
        else()
          udecomp_path_within("${included}" "${entry}" inside)
          if(inside)
            set(permitted TRUE)
          endif()
        endif()
      endforeach()
      if(NOT permitted)
        list(JOIN allowed " " allowedText)
        message(FATAL_ERROR "${source} includes ${included}, but its layer may not include from there "
                            "(allowed: ${allowedText}; the table is in cmake/LayerCheck.cmake)")
      endif()
    endforeach()
  endforeach()
endfunction()
