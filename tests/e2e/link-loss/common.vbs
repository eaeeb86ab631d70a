' Shared by the steps of the link-loss scenario (run-link-loss.sh puts it after the prelude):
' each step is a new host process over the same emulator folder and the same device folder,
' as an application restarted after an error.
Dim shell, fso, folder, devices, m, d, res, desc, outData

Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = shell.Environment("PROCESS")("FR_EMULATOR_DIR")
devices = fso.GetAbsolutePathName(".") & "\devices"

' The link comes back: the faults file goes.
Sub LinkUp()
    RemoveFaultsIn folder
End Sub

' The driver as an application connects it: a new object on the device "till-1".
Sub Connect()
    ConnectAs "till-1", devices
End Sub

' The same register set up again under another device ID, in another devices folder (another
' infobase, another user).
Sub ConnectAs(id, folderOfDevices)
    Dim s(6, 0)
    If Not fso.FolderExists(folderOfDevices) Then fso.CreateFolder folderOfDevices
    Set m = New EquipmentManager
    m.DevicesFolder = folderOfDevices
    Set d = CreateObject("Eqdr.FrVornlex")
    res = d.Init(m, desc)
    res = d.Open(id, desc)
    s(0, 0) = "ModelIndex": s(1, 0) = 8
    res = d.SetSettings(Array(s), outData, 0)
    res = d.Enable(Empty, outData, 0)
    Check res = True, "Enable on the emulator: " & Show(outData)
End Sub

' A fiscal sale of the named goods at 10.00 each, paid in cash.
Function Sale(names)
    Dim items, pays(3, 0), common(12), i, c
    ReDim items(18, UBound(names))
    For i = 0 To UBound(names)
        For c = 0 To 18: items(c, i) = Empty: Next
        items(0, i) = names(i): items(1, i) = "": items(3, i) = 1
        items(4, i) = CCur(10): items(5, i) = CDbl(1)
        items(7, i) = CCur(0): items(8, i) = CCur(0): items(9, i) = CCur(0): items(10, i) = 1
    Next
    pays(0, 0) = 0: pays(1, 0) = CCur(10 * (UBound(names) + 1))
    common(0) = 0: common(1) = True: common(3) = CCur(0): common(4) = pays(1, 0): common(12) = "Иванова"
    Sale = Array(items, pays, common)
End Function

Function Tape()
    Tape = ReadUtf8(folder & "\tape.txt")
End Function

' How often a text stands on the tape.
Function OnTape(text)
    OnTape = UBound(Split(Tape(), text))
End Function

' The cash in the drawer, as the driver reads it.
Function Cash()
    Cash = Empty
    res = d.GetCountersInfo(Empty, outData, 0)
    Cash = outData(0)(19)
End Function

' The last receipt's number, as the driver reads it.
Function LastReceipt()
    LastReceipt = Empty
    res = d.GetLastDocInfo(Empty, outData, 0)
    LastReceipt = outData(1)
End Function

' The answer of a call whose outcome could not be learned: False, and a text that says so.
Function NotKnownYet(res, out)
    NotKnownYet = False
    NotKnownYet = (res = False) And InStr(CStr(out(1)), "не известен") > 0
End Function

' Numbers a step hands to a later one, in a file of the work folder.
Sub Remember(name, value)
    Dim f
    Set f = fso.CreateTextFile(fso.GetAbsolutePathName(".") & "\" & name & ".txt", True)
    f.WriteLine CStr(value)
    f.Close
End Sub
Function Recall(name)
    Recall = Empty
    Recall = CLng(fso.OpenTextFile(fso.GetAbsolutePathName(".") & "\" & name & ".txt", 1).ReadLine)
End Function
