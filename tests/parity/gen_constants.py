#!/usr/bin/env python3
"""Lists what the stand-in Windows headers declare, for the parity printer.

Reads winsim/include/*.h and writes an include file of X-macro lines:
  KX_MACRO(NAME)          object-like #define with a value (KX_MISSING where undefined)
  KX_ENUM(NAME)           enumerator
  KX_GUID(NAME)           DEFINE_GUID identifier
  KX_SIZE(TYPE)           struct/union typedef
  KX_OFFSET(TYPE, FIELD)  field of such a typedef (anonymous-union members included)
The list is derived from the headers, so a new declaration is checked as soon as
it is written.
"""
import os
import re
import sys

# Macros that are language plumbing, not constants with a value to compare.
NOT_CONSTANTS = {
    'WINAPI', 'CALLBACK', 'APIENTRY', 'STDMETHODCALLTYPE', 'STDAPI', 'CONST', 'DECLSPEC_SELECTANY',
    'EXTERN_C', 'interface', 'PURE', 'THIS_', 'THIS', 'NULL',
}


def strip_comments(text):
    text = re.sub(r'/\*.*?\*/', ' ', text, flags=re.S)
    return re.sub(r'//[^\n]*', '', text)


def join_continuations(text):
    return re.sub(r'\\\n', ' ', text)


def macros(text):
    out = []
    for m in re.finditer(r'^[ \t]*#[ \t]*define[ \t]+([A-Za-z_]\w*)(\(?)([^\n]*)$', text, flags=re.M):
        name, paren, value = m.group(1), m.group(2), m.group(3).strip()
        if paren or not value or name in NOT_CONSTANTS or name.startswith('KESTRIX_'):
            continue
        out.append(name)
    return out


def matching_brace(text, open_index):
    depth = 0
    for i in range(open_index, len(text)):
        if text[i] == '{':
            depth += 1
        elif text[i] == '}':
            depth -= 1
            if depth == 0:
                return i
    raise ValueError('unbalanced braces')


def enums(text):
    out = []
    for m in re.finditer(r'\benum\b[^{;]*\{', text):
        body = text[m.end():matching_brace(text, m.end() - 1)]
        for item in body.split(','):
            item = item.strip()
            name = re.match(r'([A-Za-z_]\w*)', item)
            if name:
                out.append(name.group(1))
    return out


def guids(text):
    return re.findall(r'^[ \t]*DEFINE_GUID\(\s*([A-Za-z_]\w*)', text, flags=re.M)


def structs(text):
    out = []
    for m in re.finditer(r'\btypedef\s+(?:struct|union)\b[^{;]*\{', text):
        close = matching_brace(text, m.end() - 1)
        tail = re.match(r'\s*([A-Za-z_]\w*)', text[close + 1:])
        if not tail:
            continue
        body = text[m.end():close]
        # Only the outermost level's direct fields are offset-checked; members of
        # named nested aggregates (LARGE_INTEGER::u) are reached through those.
        out.append((tail.group(1), top_fields(body)))
    return out


def top_fields(body):
    """Fields reachable by name from the aggregate: its own declarators, the members
    of anonymous nested unions/structs, and the names of named nested aggregates."""
    names = []
    statement = ''
    i = 0
    while i < len(body):
        ch = body[i]
        if ch == '{':
            close = matching_brace(body, i)
            m = re.match(r'\s*([A-Za-z_]\w*)?\s*;', body[close + 1:])
            if m and m.group(1):
                names.append(m.group(1))
            elif m:
                names += top_fields(body[i + 1:close])
            statement = ''
            i = close + 1 + (m.end() if m else 0)
            continue
        if ch == ';':
            decl = re.sub(r'\[[^\]]*\]', '', statement).strip()
            if decl and '(' not in decl and not re.match(r'(public|private|protected)\b', decl):
                parts = [p.strip() for p in decl.split(',')]
                if len(parts[0].split()) >= 2:
                    names.append(parts[0].split()[-1].lstrip('*&'))
                    names.extend(p.split()[-1].lstrip('*&') for p in parts[1:] if p)
            statement = ''
        else:
            statement += ch
        i += 1
    seen = []
    for n in names:
        if n not in seen:
            seen.append(n)
    return seen


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: gen_constants.py INCLUDE_DIR OUTPUT')
    include_dir, output = sys.argv[1], sys.argv[2]
    lines = []
    for name in sorted(os.listdir(include_dir)):
        if not name.endswith('.h'):
            continue
        with open(os.path.join(include_dir, name), encoding='latin-1') as f:
            text = join_continuations(strip_comments(f.read()))
        lines.append('// %s' % name)
        for n in macros(text):
            # A name the real headers lack (or declare other than as a macro) must
            # still compile there, and show up as a mismatch.
            lines += ['#ifdef %s' % n, 'KX_MACRO(%s)' % n, '#else', 'KX_MISSING(%s)' % n, '#endif']
        lines += ['KX_ENUM(%s)' % n for n in enums(text)]
        lines += ['KX_GUID(%s)' % n for n in guids(text)]
        for struct, names in structs(text):
            lines.append('KX_SIZE(%s)' % struct)
            lines += ['KX_OFFSET(%s, %s)' % (struct, n) for n in names]
    content = '\n'.join(lines) + '\n'
    old = None
    if os.path.exists(output):
        with open(output) as f:
            old = f.read()
    if old != content:
        with open(output, 'w') as f:
            f.write(content)


if __name__ == '__main__':
    main()
