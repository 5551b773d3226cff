# Installs the build into a fresh prefix and runs the installed programs
# from another directory: the install rules must carry everything the
# programs need, and the programs must find their data from their own place.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -P install_test.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/stylomat-cli share/stylomat/korvsstable.dat share/stylomat/mx2sstable.dat
          share/stylomat/dv3sstable.dat share/applications/stylomat.desktop
          share/icons/hicolor/scalable/apps/stylomat.svg share/man/man1/stylomat.1 share/man/man1/stylomat-cli.1)
  if(NOT EXISTS ${WORK_DIR}/prefix/${f})
    message(FATAL_ERROR "the install tree lacks ${f}")
  endif()
endforeach()
# The clips the build drew are installed with the data.
if(EXPECT_CLIPS)
  foreach(f 16-MNR.avi 5-MNR.avi 4-MNR.avi 3-Sty.AVI 4-Zelta.avi PRX_Logo.avi)
    if(NOT EXISTS ${WORK_DIR}/prefix/share/stylomat/${f})
      message(FATAL_ERROR "the install tree lacks the clip ${f}")
    endif()
  endforeach()
endif()
# The KORV window reads its user SuperSets from the table file: a missing
# data directory would show a message naming the file.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=STYLOMAT_DATA_DIR STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual
          STYLOMAT_SIMULATE=1=quorral3 ${WORK_DIR}/prefix/bin/stylomat-cli settings show --superset 95 --port 1
  WORKING_DIRECTORY ${WORK_DIR}/elsewhere
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "Window: KORV_form" OR out MATCHES "korvsstable" OR err MATCHES "korvsstable")
  message(FATAL_ERROR "the installed stylomat-cli did not run from elsewhere (${rc}):\n${out}\n${err}")
endif()
message(STATUS "installed programs run from ${WORK_DIR}/elsewhere")
