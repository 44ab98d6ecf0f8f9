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
# it reads: numbers come off the end of the input, answer bytes off the front.
RATES = [110, 2400, 4800, 9600, 14400, 19200, 28800, 38400]


class PodScript:
    def __init__(self, image_length):
        self.front = bytearray()
        self.back = bytearray([image_length])  # in the order they are taken

    def silent(self, count=1):
        self.back += bytes(count)

    def answer(self, reply, baud=9600, delay_ms=0):
        self.back += bytes([1, delay_ms >> 8, delay_ms & 0xFF, RATES.index(baud), len(reply)])
        self.front += bytes(reply)

    def after(self, received, reply, **how):
        """Silent for all but the last of `received` bytes, which is answered."""
        self.silent(received - 1)
        self.answer(reply, **how)

    def data(self):
        return bytes(self.front + self.back[::-1])


def probe_reply(reply, major, minor):
    return [reply, major, minor, (0xFF - reply - major - minor) & 0xFF, 0x00]


ACK = [0xF0, 0x00]
REFUSED = [0x0F, 0x00]
PULSE, PROBE_BYTES, RESTART_BYTES, BLOCK_BYTES, SECONDARY_BYTES = 1, 7, 2, 12, 5


def cooperative_pod():
    """Found at the first rate, every command acknowledged, the table written."""
    s = PodScript(64)
    s.after(PULSE + PROBE_BYTES, probe_reply(0x22, 1, 0))
    s.after(RESTART_BYTES, ACK)  # the restart after the probe
    s.after(RESTART_BYTES, ACK)
    for _ in range(8):
        s.after(BLOCK_BYTES, ACK)
    s.after(RESTART_BYTES, ACK)
    s.after(PULSE + PROBE_BYTES, probe_reply(0xDD, 2, 0))
    for _ in range(256):
        s.after(SECONDARY_BYTES, [0xF0])
    return s.data()


def hesitant_pod():
    """An unknown pod type at the first rate, then found at the last behind a
    stray byte; split, refused and late answers."""
    s = PodScript(20)
    # Early enough to be waiting whole, with a stray byte in front, when the
    # wait at the last rate starts.
    s.silent(PULSE)
    s.after(PROBE_BYTES, probe_reply(0x01, 1, 0))  # checks, but names no pod type
    s.silent(5 * PROBE_BYTES)
    s.after(PROBE_BYTES - 2, [0xAA] + probe_reply(0x22, 1, 12), baud=2400)
    s.silent(2)
    s.after(RESTART_BYTES, REFUSED)
    s.after(RESTART_BYTES, ACK)
    s.silent(4 * RESTART_BYTES)  # the restart goes unanswered
    s.after(BLOCK_BYTES, [0xF0])  # half an answer: the rest opens the next attempt
    s.after(BLOCK_BYTES, [0x00])
    s.after(BLOCK_BYTES, ACK)
    s.after(BLOCK_BYTES, ACK, delay_ms=600)  # after the time-out
    return s.data()


def refusing_pod():
    """Answers every byte it hears with a refusal."""
    s = PodScript(16)
    for _ in range(400):
        s.answer(REFUSED)
    return s.data()


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
        "hesitant": hesitant_pod(),
        "refusing": refusing_pod(),
    },
}

for target, files in SEEDS.items():
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (folder / name).write_bytes(data)
