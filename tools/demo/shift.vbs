' A shift on the emulator of the universal driver, called directly as the driver will call it.
' Kept in UTF-8; tools/demo.sh converts it.
Option Explicit
On Error Resume Next

Dim fr
Sub Step(name)
    If Err.Number <> 0 Then
        WScript.Echo "  " & name & ": ошибка " & Hex(Err.Number) & " " & Err.Description
        Err.Clear
    Else
        WScript.Echo "  " & name & ": " & fr.LastError & " " & fr.LastErrorText
    End If
End Sub

Set fr = CreateObject("Vornlex.FiscalPrinter")
WScript.Echo "Vornlex.FiscalPrinter (эмулятор)"
fr.start 100 : Step "start 100"
fr.OpenPort "COM1", 6 : Step "OpenPort"
fr.beginFiscalReceipt 0, "Иванова" : Step "beginFiscalReceipt"
fr.printNullReceipt : Step "printNullReceipt (открытие смены)"
fr.printRecCash CCur(1000) : Step "printRecCash 1000 (внесение)"
fr.beginFiscalReceipt 0, "Иванова" : Step "beginFiscalReceipt"
fr.printRecItem "Молоко 3,2%", CCur(89.9), CDbl(2), 1, CCur(0), CDbl(0) : Step "printRecItem Молоко"
fr.printRecItem "Хлеб", CCur(45), CDbl(1), 2, CCur(-5), CDbl(0) : Step "printRecItem Хлеб"
fr.printRecTotal CCur(300), 0 : Step "printRecTotal 300 наличными"
fr.endFiscalReceipt : Step "endFiscalReceipt"
WScript.Echo "  наличных в кассе: " & fr.Cash
fr.printXReport : Step "printXReport"
fr.printZReport : Step "printZReport"
fr.closePort : Step "closePort"
