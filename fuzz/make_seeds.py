#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/. Run again after changing how a
target reads its input; the files it writes are committed."""
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"

# Configuration file layout.
SECONDARY, MAIN_LENGTH, IR_LENGTH, MAIN_IMAGE = 1, 257, 261, 265
IMAGE = 32769
FILE_SIZE = MAIN_IMAGE + 2 * IMAGE


def pod_file(type_code, main_length, ir_length, size=FILE_SIZE):
    data = bytearray(FILE_SIZE)
    data[0] = type_code
    data[SECONDARY:SECONDARY + 256] = bytes((i * 7 + 3) & 0xFF for i in range(256))
    struct.pack_into("<ii", data, MAIN_LENGTH, main_length, ir_length)
    # Only the first bytes of each image are set: the rest stays zero.
    for start in (MAIN_IMAGE, MAIN_IMAGE + IMAGE):
        data[start:start + 64] = bytes((i * 29 + 1) & 0xFF for i in range(64))
    return bytes(data[:size])


STORE_HEADER = "Windows Registry Editor Version 5.00\r\n\r\n"
TYPES = r"HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types"


def store(version, entries, extra=""):
    text = STORE_HEADER + f"[{TYPES}]\r\n\"Version\"=dword:{version:08x}\r\n\r\n"
    for key, (type_code, reply, name, boot) in entries.items():
        text += (f"[{TYPES}\\{key}]\r\n\"Name\"=\"{name}\"\r\n\"BootName\"=\"{boot}\"\r\n"
                 f"\"Type\"=dword:{type_code:08x}\r\n\"Reply\"=dword:{reply:08x}\r\n\r\n")
    return text + extra


ENTRIES = {"0": (0, 0x11, "Lumo Basic ", "LUMOB "), "1": (1, 0x22, "Lumo Plus ", "LUMOP ")}
ODD_VALUES = (
    "; entries the program never writes\r\n"
    f"[{TYPES}\\32767]\r\n\"Type\"=dword:00000005\r\n\"Reply\"=dword:000000ab\r\n"
    "\"Name\"=hex(1):4e,00,61,00\r\n@=\"default \\\"quoted\\\" \\\\ value\"\r\n\r\n"
    f"[{TYPES}\\0042]\r\n\"Type\"=dword:1\r\n\r\n"
    f"[{TYPES.lower()}\\7\\Below]\r\n\"Blob\"=hex:00,01,02,\\\r\n  03,04\r\n"
    "\"Multi\"=hex(7):61,00,00,00,00,00\r\n\"Expand\"=hex(2):25,00,41,00,00,00\r\n"
)


# A script for the fuzzed pod, mirroring FuzzedPod::Receive and the provider
# it reads: every number comes off the end of the input, in the order taken.
LATE_BOUND_MS = 1000
INTACT, LOSE_A_BIT, REFUSED = 0, 1, 2  # what becomes of a byte on its way
WHOLE, FIRST_BYTE, LOST = 0, 1, 2      # what becomes of an answer


class PodScript:
    def __init__(self, image_length):
        self.taken = bytearray([image_length])

    def receives(self, count=1, fate=INTACT):
        """Payload bytes on their way: a frame's bytes after a damaged one take nothing."""
        self.taken += bytes([fate] * count)

    def answers(self, delay_ms=0, fate=WHOLE):
        assert delay_ms <= LATE_BOUND_MS - 50
        self.taken += bytes([delay_ms >> 8, delay_ms & 0xFF, fate])

    def exchange(self, sent, delay_ms=0, fate=WHOLE, last_byte=INTACT):
        """A frame of `sent` bytes (the command byte takes nothing) and the answer."""
        self.receives(sent - 2)
        self.receives(1, last_byte)
        if last_byte != LOSE_A_BIT:
            self.answers(delay_ms, fate)

    def data(self):
        return bytes(self.taken[::-1])


RESTART_BYTES, BLOCK_BYTES = 2, 12


def cooperative_pod():
    """Every frame arrives and is answered at once (a clean line once the input ends)."""
    return PodScript(64).data()


def slow_pod():
    """Block 3 answered after its time-out, block 4 refused once, then the restart
    answered late: only the pod's own blocks may count."""
    s = PodScript(64)
    s.exchange(RESTART_BYTES)
    for block in range(8):
        if block == 3:
            s.exchange(BLOCK_BYTES, delay_ms=560)
            s.exchange(BLOCK_BYTES)
        elif block == 4:
            s.exchange(BLOCK_BYTES, last_byte=REFUSED)
            s.exchange(BLOCK_BYTES)
        else:
            s.exchange(BLOCK_BYTES)
    s.exchange(RESTART_BYTES, delay_ms=150)
    return s.data()


def unreliable_pod():
    """Half answers, lost answers and lost frames."""
    s = PodScript(20)
    s.exchange(RESTART_BYTES, fate=FIRST_BYTE)
    s.exchange(RESTART_BYTES, fate=LOST)
    s.exchange(RESTART_BYTES)
    s.exchange(BLOCK_BYTES, last_byte=LOSE_A_BIT)
    s.exchange(BLOCK_BYTES, fate=FIRST_BYTE)
    s.exchange(BLOCK_BYTES, delay_ms=900, fate=LOST)
    return s.data()


def refusing_pod():
    """Every frame reaches the pod with its first byte after the command damaged."""
    s = PodScript(16)
    for _ in range(20):
        s.receives(1, REFUSED)
        s.answers()
    return s.data()


RECORD_V2 = ('{"schema":2,"id":"a","time":"2026-12-07T11:05:00.000Z","station":"B\\u00fc1","lot":"L7",'
             '"operator":"ann","pod_type":1,"file":"Lumo.TXF","result":"failed","seconds":12.5,'
             '"messages":["Error!  6: \\"No\\" reply","x"],"nested":{"a":[1,true,null]}}')
RECORD_V1 = ('{"time":"2026-12-06T12:00:00.000Z","port":"COM1","device":"\\\\\\\\.\\\\COM1","pod_type":1,'
             '"result":"interrupted","seconds":30,"messages":[]}')

SEEDS = {
    "fuzz_pod_file": {
        "type1.txf": pod_file(1, 8, 0),
        "type7.txf": pod_file(7, 32760, 100),
        "type7-ir-refused.txf": pod_file(7, 64, -1),
        "header-only": pod_file(13, 8, 0, size=MAIN_IMAGE),
    },
    "fuzz_settings_store": {
        "written.reg": store(17, ENTRIES).encode(),
        "old-version.reg": store(16, ENTRIES).encode(),
        "odd-values.reg": store(17, ENTRIES, ODD_VALUES).encode(),
        "last-entry.reg": store(17, {"32767": (3, 0x44, "Last", "LAST")}).encode(),
        "utf16.reg": b"\xff\xfe" + store(17, ENTRIES).encode("utf-16-le"),
    },
    "fuzz_pod_replies": {
        "cooperative": cooperative_pod(),
        "slow": slow_pod(),
        "unreliable": unreliable_pod(),
        "refusing": refusing_pod(),
    },
    "fuzz_record_line": {"v1": RECORD_V1.encode(), "v2": RECORD_V2.encode()},
}

for target, files in SEEDS.items():
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (folder / name).write_bytes(data)
