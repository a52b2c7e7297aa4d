#!/usr/bin/env python3
"""Runs the host and Windows constant printers and compares their outputs.

usage: compare_parity.py HOST_PRINTER WINDOWS_PRINTER WINE WINEPREFIX
Fails listing every name whose value differs or that only one side prints.
"""
import os
import subprocess
import sys


def parse(text):
    values = {}
    order = []
    for line in text.replace('\r', '').splitlines():
        if not line.strip():
            continue
        if line.startswith('sizeof(') or line.startswith('offsetof('):
            name, _, value = line.rpartition(' ')
        else:
            name, _, value = line.partition(' ')
        values[name] = value
        order.append(name)
    return values, order


def compare(host_text, windows_text):
    host, order = parse(host_text)
    windows, windows_order = parse(windows_text)
    problems = []
    for name in order:
        if name not in windows:
            problems.append('%s: stand-in %s, real headers: not printed' % (name, host[name]))
        elif windows[name] != host[name]:
            problems.append('%s: stand-in %s, real headers %s' % (name, host[name], windows[name]))
    for name in windows_order:
        if name not in host:
            problems.append('%s: only the real headers print it (%s)' % (name, windows[name]))
    return len(order), problems


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    host_printer, windows_printer, wine, prefix = sys.argv[1:]
    if not os.path.exists(host_printer):
        print('host printer %s not found: build the host preset first' % host_printer)
        return 1
    host_text = subprocess.run([host_printer], check=True, capture_output=True, text=True).stdout
    env = dict(os.environ)
    env.update({'WINEPREFIX': prefix, 'WINEDEBUG': '-all', 'WINEDLLOVERRIDES': 'mscoree,mshtml='})
    env.pop('DISPLAY', None)
    os.makedirs(prefix, exist_ok=True)
    run = subprocess.run([wine, windows_printer], capture_output=True, text=True, env=env, timeout=600)
    if run.returncode != 0:
        print('the Windows printer failed under Wine (exit %d):\n%s' % (run.returncode, run.stderr))
        return 1
    count, problems = compare(host_text, run.stdout)
    for p in problems:
        print(p)
    if count == 0:
        print('the host printer printed nothing')
        return 1
    print('%d names compared, %d mismatches' % (count, len(problems)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
