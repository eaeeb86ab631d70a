' After uninstall.cmd neither the driver nor the emulator can be created any more.
Plan 2

Dim o
Set o = CreateObject("Eqdr.FrVornlex")
Check Err.Number <> 0, "Eqdr.FrVornlex is still registered"
Err.Clear
Set o = CreateObject("Vornlex.FiscalPrinter")
Check Err.Number <> 0, "Vornlex.FiscalPrinter is still registered"
Err.Clear
Done
