' rovane from VBScript: creation by ProgID, default members, optional
' arguments, For Each, and errors through Err. Ends with "N passed, M failed"
' and exits non-zero when a check failed.
Option Explicit

Dim passed, failed
passed = 0
failed = 0

Sub Check(name, condition)
    If condition Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAILED: " & name
    End If
End Sub

' Checks the error left by the last statement run under On Error Resume Next.
Sub CheckError(name, number, source, description)
    Check name & " (number " & Hex(Err.Number) & ")", Hex(Err.Number) = number
    Check name & " (source " & Err.Source & ")", Err.Source = source
    If description <> "" Then Check name & " (description " & Err.Description & ")", Err.Description = description
    Err.Clear
End Sub

Dim shell, fso, r, base, baseFull, k, v, n, names, file, computer, raw, x
Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
Set r = CreateObject("rovane.Registry")
base = "HKCU\Software\corvane-tests\vbs-" & CStr(Int(Timer * 100))
baseFull = "\HKEY_CURRENT_USER\" & Mid(base, 6)

' The root table and default members.
Check "five roots", r.Keys.Count = 5
Check "Keys(""HKLM"")", r.Keys("HKLM").Name = "HKEY_LOCAL_MACHINE"
Check "Keys(""\hklm"")", r.Keys("\hklm").Name = "HKEY_LOCAL_MACHINE"
Check "Keys(3)", r.Keys(3).Name = "HKEY_LOCAL_MACHINE"
Check "Keys.Item(2)", r.Keys.Item(2).Name = "HKEY_CURRENT_USER"
names = ""
For Each k In r.Keys
    names = names & k.Name & ";"
Next
Check "For Each over roots", names = "HKEY_CLASSES_ROOT;HKEY_CURRENT_USER;HKEY_LOCAL_MACHINE;HKEY_USERS;HKEY_CURRENT_CONFIG;"

' Keys and values.
Set k = r.Keys.Add(base & "\a\b")
Check "Add creates the path", k.Name = "b"
Set k = r.Keys(base)
Set v = k.Values.Add("text", "hello")
Check "string value", v.Type = 1 And v.Length = 6 And v.Data = "hello"
Check "default member of Values", k.Values("text").Data = "hello"
Check "default member of the value", k.Values("text") = "hello"
Set v = k.Values.Add("long", CLng(42))
Check "long value", v.Type = 4 And v.Data = 42
Check "Data(dtByte)", k.Values("long").Data(17) = 42
Set v = k.Values.Add("int", 7)
Check "integer value is binary", v.Type = 3 And v.Length = 2
raw = v.DataRaw
' VBScript cannot index a byte array. Windows reports its TypeName as
' "Byte()" and gives its bounds; Wine's VBScript reports "Variant()" and
' fails in UBound on it, so only IsArray is checked here.
Check "DataRaw", IsArray(raw)
Check "Data(dtInt)", k.Values("int").Data(2) = 7
Set v = k.Values.Add("multi", "x", 7)
Check "multi string", v.Type = 7 And v.Length = 3
Set v = k.Values.Add("empty")
Check "optional data is the empty string", v.Type = 1 And v.Length = 1 And v.Data = ""
v.Data = "changed"
Check "Data assignment", k.Values("empty").Data = "changed"
v.Data(2) = "%PATH%"
Check "Data assignment with a type", k.Values("empty").Type = 2
n = 0
For Each v In k.Values
    n = n + 1
Next
Check "For Each over values", n = k.Values.Count And n = 5
Set v = r.Add(baseFull & "\c\d\v", "deep")
Check "Registry.Add creates keys", r.Item(baseFull & "\c\d\v").Data = "deep"
Set v = r.Copy(baseFull & "\c\d\v", "w")
Check "Registry.Copy", r.Item(baseFull & "\c\d\w").Data = "deep"
Set v = r.Move(baseFull & "\c\d\w", baseFull & "\moved")
Check "Registry.Move", r.Item(baseFull & "\moved").Data = "deep"
r.Remove baseFull & "\moved"
Set k = r.Keys(base).Keys.Copy("a", "a2")
Check "Keys.Copy", r.Keys(base & "\a2").Keys.Count = 1
Set k = r.Keys(base).Keys.Move("a2", "a3")
Check "Keys.Move", r.Keys(base).Keys.Count = 3

' Export and import, with the optional arguments left out.
' Wine's ExpandEnvironmentStrings result carries its terminating zero, so
' the temporary folder comes from the file system object.
file = fso.GetSpecialFolder(2).Path & "\rovane-vbs-" & CStr(Int(Timer * 100)) & ".reg"
If fso.FileExists(file) Then fso.DeleteFile file
r.Export file, base
Check "export header", Left(fso.OpenTextFile(file).ReadAll, 10) = "REGEDIT4" & vbCrLf
r.Keys.Remove base
r.Import file
Check "import restores", r.Item(baseFull & "\text").Data = "hello" And r.Keys(base & "\a\b").Name = "b"
r.Find "hello", base
Check "Find without a sink", Err.Number = 0

' Errors through Err.
On Error Resume Next
Set v = r.Item("HKCU\Software\x")
CheckError "value path without backslash", "80040008", "Registry.Registry.1", "Invalid key."
Set k = r.Keys("\HKXX\Software")
CheckError "unknown root", "8004000A", "RegistryKeys.RegistryKeys.1", "Unknown root key."
Set k = r.Keys(base & "\missing")
CheckError "missing key", "80040008", "RegistryKeys.RegistryKeys.1", "Invalid key."
Set v = r.Keys(base).Values("missing")
CheckError "missing value", "80040007", "RegistryValues.RegistryValues.1", "Invalid index."
r.Keys(base).Values.Remove "missing"
CheckError "removing a missing value", "80040009", "RegistryValues.RegistryValues.1", ""
x = r.Keys(base).Values("text").Data(9)
CheckError "unsupported representation", "80040003", "RegistryValue.RegistryValue.1", "Internal error."
Set v = r.Keys(base).Values.Add("bad", Null)
CheckError "Null data", "80040005", "RegistryValues.RegistryValues.1", "Invalid data type."
r.Import file & ".absent"
CheckError "import of a missing file", "80040001", "Registry.Registry.1", "File open failed."
r.Export file, base
CheckError "export over an existing file", "80040009", "Registry.Registry.1", ""
Set k = r.Keys.Add("HKCU")
CheckError "adding a root", "80040008", "RegistryKeys.RegistryKeys.1", "Invalid key."
Set k = r.Keys(0)
CheckError "position 0", "80040007", "RegistryKeys.RegistryKeys.1", "Invalid index."
Set k = r.Keys(base).Keys.Copy("c", "c\inside")
CheckError "copy into itself", "80040008", "RegistryKeys.RegistryKeys.1", "Invalid key."
On Error GoTo 0

' Connecting: Wine treats its own computer name as local; a remote table has two roots.
computer = Replace(shell.ExpandEnvironmentStrings("%COMPUTERNAME%"), Chr(0), "")
On Error Resume Next
r.Connect computer
If Err.Number = 0 Then Check "remote roots", r.Keys.Count = 2
Err.Clear
On Error GoTo 0
r.Connect
Check "Connect without a name", r.Keys.Count = 5

fso.DeleteFile file
r.Keys.Remove base
WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
