' The retry comes through another device ID set up on the same register, from another devices
' folder: the journal belongs to the register, so it is answered and not printed twice.
Plan 4

LinkUp
ConnectAs "till-2", fso.GetAbsolutePathName(".") & "\other-devices"
res = d.PrintReceipt(Sale(Array("Йогурт")), outData, 0)
Check res = True, "the retry through another device ID is answered True: " & Show(outData)
Check outData(1) = Recall("yogurt"), "with the lost receipt's number: " & Show(outData)
Check OnTape("Йогурт") = 1, "and not printed twice: " & OnTape("Йогурт")
Done
