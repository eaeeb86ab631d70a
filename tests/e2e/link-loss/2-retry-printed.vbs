' A new process retries the receipt whose outcome was not known: it was printed, so it is answered
' with its number and not printed again. Then a deposit is lost while the link goes down.
Plan 7

LinkUp
Connect
Dim printed
printed = LastReceipt()
res = d.PrintReceipt(Sale(Array("Молоко")), outData, 0)
Check res = True, "the retry is answered True: " & Show(outData)
Check outData(1) = printed, "with the number the register gave it: " & Show(outData) & ", last " & printed
Check OnTape("Молоко") = 1, "and not printed twice: " & OnTape("Молоко")
Check LastReceipt() = printed, "no new receipt on the register"

Remember "cash", Cash()
WriteFaultsIn folder, "down printRecCash 1"
res = d.Encash(Array(1, 250), outData, 0)
Check NotKnownYet(res, outData), "a deposit lost with the link: not known yet: " & Show(outData)
Check Err.Number = 0, "no script error: " & Err.Description
Done
