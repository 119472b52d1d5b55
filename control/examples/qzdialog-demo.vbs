' QzCommonDialog from a script: create the control by its ProgID, set and read properties, and
' see how a control error reaches the script. Run with: wine cscript //nologo qzdialog-demo.vbs
Option Explicit
Const cdlOFNFileMustExist = 4096
Const cdlOFNExplorer = 524288

Dim dlg
Set dlg = CreateObject("QZCOMMDL.QzcommdlCtrl.1")
WScript.Echo "Created QZCOMMDL.QzcommdlCtrl.1"
WScript.Echo "  MaxFileSize    = " & dlg.MaxFileSize & "  (default)"
WScript.Echo "  PrinterDefault = " & dlg.PrinterDefault & "  (default)"
WScript.Echo "  UserColors(1)  = &H" & Hex(dlg.UserColors(1)) & "  (grey ramp)"

dlg.DialogTitle = "Open a part program"
dlg.Filter = "Part programs (*.nc)|*.nc|All files (*.*)|*.*"
dlg.FilterIndex = 1
dlg.Flags = cdlOFNFileMustExist Or cdlOFNExplorer
dlg.FileName = "C:\parts\door.nc"
WScript.Echo "Set and read back:"
WScript.Echo "  DialogTitle = " & dlg.DialogTitle
WScript.Echo "  Filter      = " & dlg.Filter
WScript.Echo "  Flags       = " & dlg.Flags
WScript.Echo "  Filename    = " & dlg.Filename & "  (FileName and Filename are one property)"

WScript.Echo "Errors reach the script as Err.Number and Err.Description:"
On Error Resume Next
dlg.Action = 9
WScript.Echo "  Action = 9        -> " & Err.Number & " " & Err.Description
Err.Clear
dlg.UserColors(16) = 0
WScript.Echo "  UserColors(16) =  -> " & Err.Number & " " & Err.Description
Err.Clear
dlg.FileTitle = "door.nc"
WScript.Echo "  FileTitle = ...   -> " & Err.Number & " " & Err.Description
Err.Clear
On Error GoTo 0
WScript.Echo "  Action is still " & dlg.Action
