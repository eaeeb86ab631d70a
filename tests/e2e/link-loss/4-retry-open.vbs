' The retry from a new process finds the receipt it began still open on the register: it is
' cancelled and printed anew. Then a withdrawal is lost while the link goes down.
Plan 7

LinkUp
Connect
Dim before
before = LastReceipt()
res = d.PrintReceipt(Sale(Array("Кефир", "Творог")), outData, 0)
Check res = True, "the retry prints: " & Show(outData)
Check outData(1) = before + 1, "as the next receipt: " & Show(outData)
Check OnTape("ЧЕК АННУЛИРОВАН") = 1, "the broken one cancelled: " & OnTape("ЧЕК АННУЛИРОВАН")
Check OnTape("Творог") = 2, "the cancelled part and the whole receipt, each once: " & OnTape("Творог")

Remember "cash", Cash()
WriteFaultsIn folder, "down printRecCash 1"
res = d.Encash(Array(0, 300), outData, 0)
Check NotKnownYet(res, outData), "a withdrawal lost with the link: not known yet: " & Show(outData)
Check Err.Number = 0, "no script error: " & Err.Description
Done
