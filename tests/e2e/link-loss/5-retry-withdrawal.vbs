' The withdrawal retried from a new process: the drawer moved once.
Plan 4

LinkUp
Connect
res = d.Encash(Array(0, 300), outData, 0)
Check res = True, "the withdrawal retried: " & Show(outData)
Check Cash() = Recall("cash") - 300, "the drawer moved once: " & Show(Cash())
Check OnTape("ВЫПЛАТА") = 1, "one withdrawal on the tape: " & OnTape("ВЫПЛАТА")
Done
