' A sale through the driver installed from the release archive, on the emulator it installed:
' the registration points into the installed folder, and the receipt reaches the tape.
' FR_INSTALLED_DIR names the folder; FR_EMULATOR_DIR the emulator's.
Plan 9

Dim shell, fso, installed, folder, server, m, d, res, desc, outData, s(6, 0), items(18, 0), pays(3, 0), common(12)
Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
installed = shell.Environment("PROCESS")("FR_INSTALLED_DIR")
folder = shell.Environment("PROCESS")("FR_EMULATOR_DIR")
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
Err.Clear

server = shell.RegRead("HKCR\CLSID\{7C75037F-F54C-4D72-9A9B-9F64D8F0FBAC}\InprocServer32\")
Check LCase(Left(server, Len(installed))) = LCase(installed), "the driver is registered from the installed folder: " & server

Set m = New EquipmentManager
m.DevicesFolder = fso.GetAbsolutePathName(".")
Set d = CreateObject("Eqdr.FrVornlex")
Check IsObject(d), "CreateObject(""Eqdr.FrVornlex""): " & Hex(Err.Number) & " " & Err.Description
res = d.Init(m, desc)
res = d.Open("till-1", desc)
Check res = True, "Open: " & desc
s(0, 0) = "ModelIndex": s(1, 0) = 8
res = d.SetSettings(Array(s), outData, 0)
res = d.Enable(Empty, outData, 0)
Check res = True, "Enable on the emulator: " & Show(outData)
res = d.OpenDay(Array("1", "Иванова"), outData, 0)
Check res = True, "OpenDay: " & Show(outData)

' One loaf of bread at 45.50, paid with 50 in cash.
items(0, 0) = "Хлеб": items(1, 0) = "": items(3, 0) = 1
items(4, 0) = CCur(45.5): items(5, 0) = CDbl(1)
items(7, 0) = CCur(0): items(8, 0) = CCur(0): items(9, 0) = CCur(0): items(10, 0) = 0
pays(0, 0) = 0: pays(1, 0) = CCur(50)
common(0) = 0: common(1) = True: common(3) = CCur(0): common(4) = CCur(45.5): common(12) = "Иванова"
res = d.PrintReceipt(Array(items, pays, common), outData, 0)
Check res = True, "PrintReceipt: " & Show(outData)
Check outData(1) >= 1, "the receipt's number: " & Show(outData)
Check fso.FileExists(folder & "\tape.txt"), "the emulator's tape"
Check InStr(fso.OpenTextFile(folder & "\tape.txt", 1).ReadAll, "=45.50") > 0, "the receipt's total on the tape"
res = d.Disable(Empty, outData, 0)
res = d.Close()
Done
