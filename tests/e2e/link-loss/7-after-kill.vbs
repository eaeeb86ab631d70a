' The next process prints its receipt: the one the killed host left open is cancelled first.
Plan 5

LinkUp
Connect
Dim before
before = LastReceipt()
res = d.PrintReceipt(Sale(Array("Ряженка", "Сметана")), outData, 0)
Check res = True, "the receipt prints after the killed host: " & Show(outData)
Check outData(1) = before + 1, "as the next receipt: " & Show(outData)
Check OnTape("ЧЕК АННУЛИРОВАН") = 2, "the receipt left open cancelled: " & OnTape("ЧЕК АННУЛИРОВАН")
Check OnTape("Сметана") = 1, "the whole receipt printed once"
Done
