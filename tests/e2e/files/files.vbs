' The files the driver writes, as a business application meets them: a device ID that would leave
' the devices folder is refused and leaves no trace outside it; a hard link laid under today's
' debug log name (by files/run.sh, before this runs) is removed, its file untouched, and the day's
' lines go to a fresh log that begins by saying so. Kept in UTF-8; run-vbs.sh converts it.
Plan 23

Dim fso, here, devices, d, m, res, desc, outData, s(6, 1), id, before, refusal
Set fso = CreateObject("Scripting.FileSystemObject")
here = fso.GetAbsolutePathName(".")
devices = here & "\devices"
refusal = "Идентификатор устройства должен годиться в имя одной папки: "

' What the work folder (the devices folder's parent) holds, by name.
Function Listing()
    Dim f, l
    l = ""
    For Each f In fso.GetFolder(here).SubFolders: l = l & f.Name & "/;": Next
    For Each f In fso.GetFolder(here).Files: l = l & f.Name & ";": Next
    Listing = l
End Function

' The first line of the device's log for today.
Function FirstLogLine(device)
    Dim name, t
    name = devices & "\" & device & "\Debug_" & Year(Now) & "." & Right("0" & Month(Now), 2) & "." & _
           Right("0" & Day(Now), 2) & ".log"
    FirstLogLine = ""
    If fso.FileExists(name) Then
        Set t = fso.OpenTextFile(name, 1)
        FirstLogLine = t.ReadLine
        t.Close
    End If
End Function

' A day with the debug log on: Enable writes the header, CheckHealth its two lines.
Sub DayWithTheLog()
    res = d.SetSettings(Array(s), outData, 0)
    res = d.Enable(Empty, outData, 0)
    res = d.CheckHealth(Empty, outData, 0)
    res = d.Disable(Empty, outData, 0)
End Sub

s(0, 0) = "DebugLogEnabled": s(1, 0) = True
' Enable connects to the register: the emulator here.
s(0, 1) = "ModelIndex": s(1, 1) = 8

Set d = CreateObject("Eqdr.FrVornlex")
Set m = New EquipmentManager
m.DevicesFolder = devices
res = d.Init(m, desc)
CheckNoError "Init"
Check res = True, "Init: " & desc

' IDs with path syntax: refused, and a day with the log on makes nothing beside the devices folder.
For Each id In Array("..\..\x", "..", "..\..\" & fso.GetFileName(here), "C:\windows\temp", "CON")
    before = Listing()
    res = d.Open(id, desc)
    CheckNoError "Open " & id
    Check res = False And Left(desc, Len(refusal)) = refusal, "Open " & id & ": " & res & " " & desc
    DayWithTheLog
    Check Listing() = before, "after Open " & id & " nothing new: " & Listing()
Next
Check Not fso.FolderExists(here & "\..\x"), "no folder x beside the work folder"

' A hard link under today's log name: a fresh log that first tells what was found.
res = d.Open("dev-hard", desc)
CheckNoError "Open dev-hard"
Check res = True, "Open dev-hard: " & desc
DayWithTheLog
Check InStr(FirstLogLine("dev-hard"), "под именем файла лога было другое (жёсткая ссылка") > 0, _
    "dev-hard log begins with the event: " & FirstLogLine("dev-hard")
res = d.Close()

' A symbolic link under today's name: what Wine shows of it decides; files/run.sh reports it.
' Close forgot the manager: Init again.
res = d.Init(m, desc)
res = d.Open("dev-sym", desc)
CheckNoError "Open dev-sym"
Check res = True, "Open dev-sym: " & desc
DayWithTheLog
WScript.Echo "dev-sym log begins: " & FirstLogLine("dev-sym")
res = d.Close()

Done
