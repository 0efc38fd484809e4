# cmake -DDATAGEN=<datagen> -DWORK_DIR=<scratch folder> -DICON_SIZES=16,32,...
#       -P determinism.cmake
# Runs the data generator twice into separate folders and fails unless both
# runs wrote the same set of files with identical bytes.
if(NOT DATAGEN OR NOT WORK_DIR OR NOT ICON_SIZES)
  message(FATAL_ERROR "DATAGEN, WORK_DIR and ICON_SIZES must be set")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
foreach(run a b)
  file(MAKE_DIRECTORY "${WORK_DIR}/${run}")
  execute_process(
    COMMAND "${DATAGEN}" --out "${WORK_DIR}/${run}" --icon "${WORK_DIR}/${run}/shooter.ico"
            --icon-sizes "${ICON_SIZES}"
            --sheet "${WORK_DIR}/${run}/sheet.png"
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "datagen run ${run} failed: ${result}")
  endif()
  file(GLOB_RECURSE files_${run} RELATIVE "${WORK_DIR}/${run}" "${WORK_DIR}/${run}/*")
  list(SORT files_${run})
endforeach()
if(NOT files_a STREQUAL files_b)
  message(FATAL_ERROR "the two runs wrote different files:\n${files_a}\n${files_b}")
endif()
list(LENGTH files_a count)
if(count LESS 10)
  message(FATAL_ERROR "only ${count} files were written: ${files_a}")
endif()
foreach(f IN LISTS files_a)
  file(SHA256 "${WORK_DIR}/a/${f}" hash_a)
  file(SHA256 "${WORK_DIR}/b/${f}" hash_b)
  if(NOT hash_a STREQUAL hash_b)
    message(FATAL_ERROR "${f} differs between two runs")
  endif()
endforeach()
message(STATUS "${count} files identical across two runs")
file(REMOVE_RECURSE "${WORK_DIR}")
