' A new register; answers lost at the commit and settled in the same call; identical receipts;
' then a receipt whose answer is lost while the link stays down: its outcome is not known yet.
Plan 14

If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
If fso.FolderExists(devices) Then fso.DeleteFolder devices, True
Err.Clear
Connect
res = d.OpenDay(Array("1", "Иванова"), outData, 0)
Check res = True, "OpenDay: " & Show(outData)
res = d.Encash(Array(1, 1000), outData, 0)
Check res = True, "deposit 1000: " & Show(outData)

' The register ends the receipt, and its answer is lost on the way back.
WriteFaultsIn folder, "lost endFiscalReceipt 1 Нет связи с ККТ"
res = d.PrintReceipt(Sale(Array("Сыр")), outData, 0)
Check res = True, "a receipt whose answer was lost is settled as printed: " & Show(outData)
Dim number, before
number = outData(1)
Check number = LastReceipt(), "with its own number: " & number & ", the register's last " & LastReceipt()
Check OnTape("Сыр") = 1, "printed once"
LinkUp

' Two customers buy the same loaf: both print.
res = d.PrintReceipt(Sale(Array("Хлеб")), outData, 0)
Check res = True, "the first loaf: " & Show(outData)
res = d.PrintReceipt(Sale(Array("Хлеб")), outData, 0)
Check res = True, "the second, identical loaf: " & Show(outData)
Check OnTape("Хлеб") = 2, "both loaves on the tape: " & OnTape("Хлеб")

' A deposit whose answer is lost: the drawer moved by exactly the sum, so it happened.
before = Cash()
WriteFaultsIn folder, "lost printRecCash 1"
res = d.Encash(Array(1, 500), outData, 0)
Check res = True, "a deposit whose answer was lost is settled as done: " & Show(outData)
LinkUp
Check Cash() = before + 500, "the drawer moved once: " & Show(Cash()) & ", before " & before

' The register ends the receipt, and the link goes down: nobody can tell yet.
WriteFaultsIn folder, "down endFiscalReceipt 1 Нет связи с ККТ"
res = d.PrintReceipt(Sale(Array("Молоко")), outData, 0)
Check NotKnownYet(res, outData), "the outcome is not known yet: " & Show(outData)
Check OnTape("Молоко") = 1, "the register printed it"
Check Err.Number = 0, "no script error: " & Err.Description
Done
