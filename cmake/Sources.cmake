# Source layout rules.
#
# Core sources are every .cpp under src/<subsystem>/ except the Qt files.
# Qt files are recognised by name: *_window.cpp, *_view.cpp, *_widget.cpp,
# *_qt.cpp, and everything under src/gui/ and src/log_window/.  Keeping the
# rule in one place lets each subsystem add files without touching CMake.

set(STYLOMAT_CORE_DIRS platform core serial reports sysinfo wintab discovery config superset switchbank testbench app sim)

function(stylomat_is_qt_file path out)
  get_filename_component(name ${path} NAME)
  if(name MATCHES "_(window|view|widget|qt)\\.cpp$")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

function(stylomat_collect_core_sources out)
  set(result)
  foreach(dir ${STYLOMAT_CORE_DIRS})
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
    foreach(f ${files})
      stylomat_is_qt_file(${f} is_qt)
      if(NOT is_qt)
        list(APPEND result ${f})
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(stylomat_collect_qt_sources out)
  set(result)
  foreach(dir ${STYLOMAT_CORE_DIRS})
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
    foreach(f ${files})
      stylomat_is_qt_file(${f} is_qt)
      if(is_qt)
        list(APPEND result ${f})
      endif()
    endforeach()
  endforeach()
  file(GLOB extra CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/log_window/*.cpp)
  list(APPEND result ${extra})
  set(${out} ${result} PARENT_SCOPE)
endfunction()
