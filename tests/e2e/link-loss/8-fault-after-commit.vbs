' The register fiscalizes the receipt, then reports that the paper ran out: the receipt is in the
' fiscal memory, so the application is told it was made, and a retry prints nothing more. A
' deposit the same. Then a receipt whose answer is lost while the link stays down.
Plan 8

LinkUp
Connect
Dim before
before = LastReceipt()
WriteFaultsIn folder, "after endFiscalReceipt 1 3001 Нет бумаги"
res = d.PrintReceipt(Sale(Array("Ацидофилин")), outData, 0)
Check res = True, "made, then no paper: answered as made: " & Show(outData)
Check outData(1) = before + 1, "with its number: " & Show(outData)
LinkUp
Check OnTape("Ацидофилин") = 1, "printed once: " & OnTape("Ацидофилин")

before = Cash()
WriteFaultsIn folder, "after printRecCash 1 3001 Нет бумаги"
res = d.Encash(Array(1, 70), outData, 0)
Check res = True, "a deposit made, then no paper: answered as made: " & Show(outData)
LinkUp
Check Cash() = before + 70, "the drawer moved once: " & Show(Cash()) & ", before " & before

' Its number, for the retry: the next one (the link is down once it is made).
Remember "varenets", LastReceipt() + 1
WriteFaultsIn folder, "down endFiscalReceipt 1 Нет связи с ККТ"
res = d.PrintReceipt(Sale(Array("Варенец")), outData, 0)
Check NotKnownYet(res, outData), "the outcome is not known yet: " & Show(outData)
Check OnTape("Варенец") = 1, "the register printed it"
Done
