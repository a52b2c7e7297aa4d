#!/usr/bin/env python3
"""Keeps a recorded trace's calls up to its N-th grBufferSwap, then the session's closing calls, so that a
long recording (the demo under Wine) becomes a kept trace of a few frames.
Usage: python3 tools/cut_trace.py TRACE OUT FRAMES"""
import struct
import sys

NAME_KIND, CALL_KIND = 1, 2
RECORD_HEADER = 5  # payload length (u32), kind (u8)
CLOSING = ("grSstWinClose", "grGlideShutdown")


def records(data):
    at = 8 + 4
    (name_length,) = struct.unpack_from("<I", data, at)
    at += 4 + name_length
    header, names, found = data[:at], {}, []
    while at < len(data):
        length, kind = struct.unpack_from("<IB", data, at)
        record = data[at:at + RECORD_HEADER + length]
        call_id = struct.unpack_from("<H", data, at + RECORD_HEADER)[0] if kind in (NAME_KIND, CALL_KIND) else None
        if kind == NAME_KIND:
            names[call_id] = data[at + RECORD_HEADER + 2:at + RECORD_HEADER + length].decode()
        found.append((kind, call_id, record))
        at += RECORD_HEADER + length
    return header, names, found


def main():
    source, target, frames = sys.argv[1], sys.argv[2], int(sys.argv[3])
    header, names, found = records(open(source, "rb").read())
    kept, named, swaps = [], set(), 0
    for kind, call_id, record in found:
        if swaps >= frames:
            break
        kept.append(record)
        if kind == NAME_KIND:
            named.add(call_id)
        if kind == CALL_KIND and names[call_id] == "grBufferSwap":
            swaps += 1
    for kind, call_id, record in found:
        if kind == NAME_KIND and call_id not in named and names[call_id] in CLOSING:
            kept.append(record)
            named.add(call_id)
    kept += [record for kind, call_id, record in found if kind == CALL_KIND and names[call_id] in CLOSING]
    open(target, "wb").write(header + b"".join(kept))


if __name__ == "__main__":
    main()
