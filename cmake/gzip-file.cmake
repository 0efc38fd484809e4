# cmake -DINPUT=file -DOUTPUT=file.gz -P gzip-file.cmake
# Compresses as Debian wants its documentation: gzip -9n, so no name and no
# time stamp in the header (the same bytes on every build).
find_program(GZIP gzip REQUIRED)
execute_process(COMMAND "${GZIP}" -9n -c "${INPUT}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${INPUT}: ${result}")
endif()
