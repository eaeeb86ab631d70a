' Two hosts on one register at once, the first: its receipt hangs at the end while the second
' host tries to sell; once released it ends, printed once.
Plan 3

Connect
res = d.PrintReceipt(Sale(Array("Бифидок")), outData, 0)
Check res = True, "the first host's receipt ends: " & Show(outData)
Check OnTape("Бифидок") = 1, "printed once: " & OnTape("Бифидок")
Done
