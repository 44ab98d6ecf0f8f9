; The pod type catalogue and the .TXF file type, in the registry's 64-bit
; view, which the program reads.
SetRegView 64
!include "${VANTELO_SEED}"
WriteRegStr HKCR ".TXF" "" "Vantelo.Configuration"
WriteRegStr HKCR "Vantelo.Configuration" "" "Vantelo pod configuration"
WriteRegStr HKCR "Vantelo.Configuration\shell\open\command" "" '"$INSTDIR\vantelo.exe" "%1"'
SetRegView default
