; The file type goes; the catalogue stays, as people may have edited it.
SetRegView 64
ReadRegStr $0 HKCR ".TXF" ""
StrCmp $0 "Vantelo.Configuration" 0 +2
  DeleteRegKey HKCR ".TXF"
DeleteRegKey HKCR "Vantelo.Configuration"
SetRegView default
