# The page's download: shooter.js + shooter.wasm within their budget.
#   cmake -DRUN_DIR=... -DBUDGET=bytes -P module_size.cmake
file(SIZE "${RUN_DIR}/shooter.js" script)
file(SIZE "${RUN_DIR}/shooter.wasm" module)
math(EXPR total "${script} + ${module}")
message(STATUS "shooter.js ${script} + shooter.wasm ${module} = ${total} bytes, budget ${BUDGET}")
if(total GREATER BUDGET)
  message(FATAL_ERROR "the page's script and module take ${total} bytes, over ${BUDGET}")
endif()
