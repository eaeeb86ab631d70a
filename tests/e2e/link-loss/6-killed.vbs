' A receipt during which the host is killed: the register hangs in its second item, and the
' runner kills this process there. Nothing after the call runs.
Plan 1

LinkUp
Connect
WriteFaultsIn folder, "hang printRecItem 2"
res = d.PrintReceipt(Sale(Array("Ряженка", "Сметана")), outData, 0)
Done
