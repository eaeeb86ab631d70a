' The deposit retried from a new process: the drawer moved once. Then the link drops in the middle
' of a receipt, so the receipt stays open on the register.
Plan 7

LinkUp
Connect
res = d.Encash(Array(1, 250), outData, 0)
Check res = True, "the deposit retried: " & Show(outData)
Check Cash() = Recall("cash") + 250, "the drawer moved once: " & Show(Cash())
Check OnTape("ВНЕСЕНИЕ") = 3, "three deposits on the tape in all: " & OnTape("ВНЕСЕНИЕ")

WriteFaultsIn folder, "down printRecItem 2 Нет связи с ККТ"
res = d.PrintReceipt(Sale(Array("Кефир", "Творог")), outData, 0)
Check res = False, "the receipt broke off: " & Show(outData)
Check OnTape("Кефир") = 0, "nothing of it on the tape yet"
Check Err.Number = 0, "no script error: " & Err.Description
Done
