' The second host, while the first is in the middle of its receipt: refused as busy after a wait,
' it prints nothing and cancels nothing of the first's.
Plan 4

Connect
res = d.PrintReceipt(Sale(Array("Простокваша")), outData, 0)
Check res = False And outData(0) = 1009, "refused as busy: " & Show(outData)
Check InStr(CStr(outData(1)), "другая программа") > 0, "saying another program prints: " & Show(outData)
Check OnTape("Простокваша") = 0, "nothing printed"
Done
