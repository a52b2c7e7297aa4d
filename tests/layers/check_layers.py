#!/usr/bin/env python3
"""Checks every quoted #include of the engine and the front ends against engine/layers.txt.

An engine file may include files of its own layer and of the layers below it (the files directly in
engine/ are below every layer), and nothing outside engine/. A front end may include its own files, the
public Glide headers and the engine headers listed as its interface, nothing else of the engine and
nothing of another front end, and its code names none of the engine's records or DirectX interfaces that
the file forbids. Prints one line per violation and exits 1 when there is any.
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = (".h", ".cpp")
FRONT_ENDS = ("tessel2", "tessel3")


class Rules:
    def __init__(self):
        self.layer_of_folder = {}
        self.upward = set()
        self.interface = set()
        self.forbidden = []


def parse_rules(path):
    rules = Rules()
    with open(path, encoding="utf-8") as text:
        for number, raw in enumerate(text, 1):
            line = raw.split("#", 1)[0].split()
            if not line:
                continue
            keyword, arguments = line[0], line[1:]
            if keyword == "layer" and arguments:
                rank = len(set(rules.layer_of_folder.values())) + 1
                for folder in arguments:
                    rules.layer_of_folder[folder] = rank
            elif keyword == "upward" and len(arguments) == 2:
                rules.upward.add((arguments[0], arguments[1]))
            elif keyword == "interface" and len(arguments) == 1:
                rules.interface.add(arguments[0])
            elif keyword == "forbidden" and len(arguments) == 1:
                rules.forbidden.append(arguments[0])
            else:
                raise SystemExit(f"{path}:{number}: cannot read '{raw.strip()}'")
    return rules


def sources(root, folder):
    top = os.path.join(root, folder)
    for directory, _, names in os.walk(top):
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(directory, name)


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as text:
        return INCLUDE.findall(text.read())


def code_of(path):
    """The file without its comments and string literals, so that only code is searched for names."""
    with open(path, encoding="utf-8", errors="replace") as text:
        code = text.read()
    code = re.sub(r"/\*.*?\*/", " ", code, flags=re.DOTALL)
    code = re.sub(r"//[^\n]*", " ", code)
    return re.sub(r'"(?:\\.|[^"\\\n])*"', '""', code)


def resolve(root, including, name, search):
    """The repository-relative path a quoted include names, or None when it names no file here."""
    for base in [os.path.dirname(including)] + [os.path.join(root, folder) for folder in search]:
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            return os.path.relpath(candidate, root).replace(os.sep, "/")
    return None


def engine_layer(rules, engine_path):
    """The rank of an engine-relative path: 0 for files directly in engine/, None for an unknown folder."""
    if "/" not in engine_path:
        return 0
    return rules.layer_of_folder.get(engine_path.split("/", 1)[0])


def check_engine(root, rules):
    problems = []
    for path in sources(root, "engine"):
        own = os.path.relpath(path, os.path.join(root, "engine")).replace(os.sep, "/")
        own_rank = engine_layer(rules, own)
        if own_rank is None:
            problems.append(f"engine/{own}: its folder is in no layer of engine/layers.txt")
            continue
        for name in includes(path):
            target = resolve(root, path, name, ["engine"])
            if target is None:
                continue
            if not target.startswith("engine/"):
                problems.append(f"engine/{own}: includes {target}, outside the engine")
                continue
            target = target[len("engine/"):]
            rank = engine_layer(rules, target)
            if rank is not None and rank > own_rank and (own, target) not in rules.upward:
                problems.append(f"engine/{own}: includes {target}, a layer above its own")
    return problems


def check_front_end(root, rules, front_end):
    problems = []
    search = [front_end, "include", "engine"]
    for path in sources(root, front_end):
        own = os.path.relpath(path, root).replace(os.sep, "/")
        for name in includes(path):
            target = resolve(root, path, name, search)
            if target is None:
                continue
            if target.startswith("engine/"):
                if target[len("engine/"):] not in rules.interface:
                    problems.append(f"{own}: includes {target}, which is not an interface header "
                                    "(engine/layers.txt)")
            elif not (target.startswith(front_end + "/") or target.startswith("include/")):
                problems.append(f"{own}: includes {target}, outside its front end and the engine's interface")
        code = code_of(path)
        for name in rules.forbidden:
            if re.search(r"\b" + name + r"\b", code):
                problems.append(f"{own}: uses {name}, which only the engine may touch")
    return problems


def check(root):
    rules = parse_rules(os.path.join(root, "engine", "layers.txt"))
    problems = check_engine(root, rules)
    for front_end in FRONT_ENDS:
        if os.path.isdir(os.path.join(root, front_end)):
            problems += check_front_end(root, rules, front_end)
    return problems


def main():
    if len(sys.argv) != 2:
        raise SystemExit("usage: check_layers.py REPOSITORY")
    problems = check(sys.argv[1])
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} break(s) of the engine's layers or interface (engine/layers.txt)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
