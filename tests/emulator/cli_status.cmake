# cmake -DCLI=<fr-cli> -DDIR=<empty folder> -P cli_status.cmake
# fr-cli emulator status shows the document a program left open on the register: its kind, its
# lines and the sum so far.
file(REMOVE_RECURSE "${DIR}")
function(status out_var)
  execute_process(COMMAND ${CLI} emulator status --dir=${DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "fr-cli emulator status: exit code ${rc}\n${out}${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()
# A state to start from: the device as width makes it.
execute_process(COMMAND ${CLI} emulator width 48 --dir=${DIR} RESULT_VARIABLE rc)
file(READ "${DIR}/state.json" fresh)
status(out)
if(NOT out MATCHES "Открытый документ: +нет\n")
  message(FATAL_ERROR "status shows an open document on a new device:\n${out}")
endif()

set(receipt [=[{"kind": "receipt", "type": 0, "cashier": "Иванова",
 "lines": [{"item": {"name": "Хлеб", "price": 123400, "quantityMilli": 2000, "taxGroup": 0, "gross": 2468, "adjustment": 0}},
           {"text": "Спасибо"}],
 "payments": [{"type": 0, "amount": 1000}]}]=])
set(nonfiscal [=[{"kind": "nonFiscal", "lines": ["Первая", "Вторая", "Третья"]}]=])
foreach(case "receipt|чек прихода \\(кассир Иванова\\), строк: 2, сумма 24\\.68, оплачено 10\\.00"
             "nonfiscal|нефискальный документ, строк: 3")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 kind)
  list(GET case 1 shown)
  string(REPLACE "\"openDocument\": null" "\"openDocument\": ${${kind}}" state "${fresh}")
  string(REPLACE "\"shiftOpen\": false" "\"shiftOpen\": true" state "${state}")
  file(WRITE "${DIR}/state.json" "${state}")
  status(out)
  if(NOT out MATCHES "Открытый документ: +${shown}\n")
    message(FATAL_ERROR "status does not show the open ${kind}:\n${out}")
  endif()
endforeach()
file(REMOVE_RECURSE "${DIR}")
