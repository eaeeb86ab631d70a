' A new process: the link is back, but the application closes the shift, opens a new one and makes
' another sale, and only then retries the receipt it was told was not known: that one is answered
' with its own number, and not printed again.
Plan 8

LinkUp
Connect
res = d.PrintZReport(Array("Иванова"), outData, 0)
Check res = True, "Z report: " & Show(outData)
res = d.OpenDay(Array("1", "Иванова"), outData, 0)
Check res = True, "a new shift: " & Show(outData)
res = d.PrintReceipt(Sale(Array("Квас")), outData, 0)
Check res = True, "another sale: " & Show(outData)
res = d.PrintReceipt(Sale(Array("Варенец")), outData, 0)
Check res = True, "the late retry is answered True: " & Show(outData)
Check outData(1) = Recall("varenets"), "with the lost receipt's number: " & Show(outData)
Check OnTape("Варенец") = 1, "and not printed twice: " & OnTape("Варенец")

' Lost again while the link goes down, for the retry through another device ID.
' Its number, for the retry: the next one (the link is down once it is made).
Remember "yogurt", LastReceipt() + 1
WriteFaultsIn folder, "down endFiscalReceipt 1 Нет связи с ККТ"
res = d.PrintReceipt(Sale(Array("Йогурт")), outData, 0)
Check NotKnownYet(res, outData), "the outcome is not known yet: " & Show(outData)
Done
