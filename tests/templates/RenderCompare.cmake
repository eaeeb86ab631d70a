# Runs fr-cli render and compares its output with the expected document, byte for byte.
execute_process(
  COMMAND ${CLI} render ${TEMPLATE} ${DATA} --width 48 --bold "**" --barcode-on "<barcode:" --barcode-off ">"
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fr-cli render failed (${rc}): ${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/goods-slip.actual.txt "${actual}")
  message(FATAL_ERROR "fr-cli render output differs from ${EXPECTED}\n--- actual ---\n${actual}--- expected ---\n${expected}")
endif()
