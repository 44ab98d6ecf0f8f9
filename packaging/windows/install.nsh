; The pod type catalogue and the .TXF file type, in the registry's 64-bit
; view, which the program reads.
SetRegView 64
!include "${VANTELO_SEED}"
; The catalogue is seeded only when the program's start-up check would seed
; it: its version missing, not a 4-byte REG_DWORD, or below the seed's,
; compared signed as the program does. Any other catalogue is someone's, and
; a reinstall or an upgrade keeps it. RegGetValueW asks type and size, which
; ReadRegDWORD does not: RRF_RT_REG_DWORD | RRF_SUBKEY_WOW6464KEY, and
; HKEY_LOCAL_MACHINE sign-extended as a 64-bit handle.
System::Call 'advapi32::RegGetValueW(p -2147483646, w "${VANTELO_TYPES_KEY}", \
    w "${VANTELO_VERSION_VALUE}", i 0x10010, p 0, *i .r1, *i 4 r2) i .r0'
StrCmp $0 0 0 vantelo_seed
IntCmp $2 4 0 vantelo_seed vantelo_seed
IntCmp $1 ${VANTELO_SEED_VERSION} vantelo_seeded vantelo_seed vantelo_seeded
vantelo_seed:
  !insertmacro VANTELO_SEED_CATALOGUE
vantelo_seeded:
WriteRegStr HKCR ".TXF" "" "Vantelo.Configuration"
WriteRegStr HKCR "Vantelo.Configuration" "" "Vantelo pod configuration"
WriteRegStr HKCR "Vantelo.Configuration\shell\open\command" "" '"$INSTDIR\vantelo.exe" "%1"'
SetRegView default
