# The engine and everything else outside platform/qt must stay free of Qt:
# no Qt header in its sources and no Qt library among its link dependencies.
function(udecomp_check_qt_free target)
  set(folders ${ARGN})
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(FILTER files EXCLUDE REGEX "/platform/qt/")
    foreach(file IN LISTS files)
      file(STRINGS ${file} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|qt[a-z]*/)")
      if(hits)
        message(FATAL_ERROR "${file} includes a Qt header, but ${folder}/ must stay free of Qt: ${hits}")
      endif()
    endforeach()
  endforeach()
  # Checked after all targets exist, so links added later are seen too.
  # (Deferred arguments are expanded late, so the target name is baked in with EVAL.)
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL udecomp_check_qt_free_links [[${target}]])")
endfunction()

function(udecomp_check_qt_free_links target)
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS links interface_links)
    if(lib MATCHES "Qt")
      message(FATAL_ERROR "${target} links ${lib}, but it must stay free of Qt")
    endif()
  endforeach()
endfunction()
