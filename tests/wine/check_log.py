#!/usr/bin/env python3
"""Checks kestrix.log once the program has ended and the engine has closed its log.

    check_log.py <kestrix.log> <expect-log.txt>

Each line of the expect file names a line the log must hold, ended by CR LF:
"= text" for a whole line equal to text, "~ text" for a line containing text.
Every line of the log must end with CR LF. Exits 1 listing what is wrong.
"""

import sys


def check(log_bytes, expect_lines):
    problems = []
    if not log_bytes:
        return ["the log is empty"]
    for i, byte in enumerate(log_bytes):
        if byte == 0x0A and (i == 0 or log_bytes[i - 1] != 0x0D):
            line_no = log_bytes[:i].count(b"\n") + 1
            problems.append("line %d ends with a bare LF, not CR LF" % line_no)
            break
    if not log_bytes.endswith(b"\r\n"):
        problems.append("the last line is not ended by CR LF")
    text = log_bytes.decode("latin-1")
    lines = text.split("\r\n")[:-1] if text.endswith("\r\n") else text.split("\r\n")
    for want in expect_lines:
        want = want.rstrip("\r\n")
        if not want:
            continue
        mode, _, body = want.partition(" ")
        if mode == "=":
            if body not in lines:
                problems.append("no line equal to %r" % body)
        elif mode == "~":
            if not any(body in line for line in lines):
                problems.append("no line containing %r" % body)
        else:
            problems.append("bad expectation %r (start it with '= ' or '~ ')" % want)
    return problems


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: check_log.py <kestrix.log> <expect-log.txt>\n")
        return 2
    try:
        with open(argv[1], "rb") as f:
            log_bytes = f.read()
        with open(argv[2], encoding="latin-1") as f:
            expect = f.readlines()
    except OSError as e:
        print("cannot check the log: %s" % e)
        return 1
    problems = check(log_bytes, expect)
    for p in problems:
        print("kestrix.log: %s" % p)
    if problems:
        return 1
    print("kestrix.log holds the %d expected lines" % len([e for e in expect if e.strip()]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
