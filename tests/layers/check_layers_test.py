#!/usr/bin/env python3
"""The layer check on small trees: it passes a clean one and names each kind of violation."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402

LAYERS = """
layer core
layer render texture
layer session
upward render/draw.cpp session/show.h  # a draw shows the front buffer
interface session/show.h
forbidden renderState
forbidden IDirect3DDevice7
"""


def write(root, path, text=""):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as out:
        out.write(text)


class CheckLayersTest(unittest.TestCase):
    def tree(self, extra):
        root = tempfile.mkdtemp()
        write(root, "engine/layers.txt", LAYERS)
        write(root, "engine/values.h")
        write(root, "engine/core/context.h", '#include "../values.h"\n')
        write(root, "engine/render/state.h", '#include "../core/context.h"\n#include "../texture/memory.h"\n')
        write(root, "engine/texture/memory.h", '#include "../render/state.h"\n')
        write(root, "engine/session/show.h", '#include "../render/state.h"\n#include <windows.h>\n')
        write(root, "engine/render/draw.cpp", '#include "state.h"\n#include "../session/show.h"\n')
        write(root, "include/glide.h")
        write(root, "tessel2/calls.cpp", '#include "glide.h"\n#include "session/show.h"\n#include "rules.h"\n')
        write(root, "tessel2/rules.h")
        for path, text in extra.items():
            write(root, path, text)
        return check_layers.check(root)

    def test_clean_tree_passes(self):
        self.assertEqual(self.tree({}), [])

    def test_each_violation_is_named(self):
        problems = self.tree({
            "engine/core/up.cpp": '#include "../render/state.h"\n',
            "engine/texture/up.cpp": '#include "../session/show.h"\n',
            "engine/core/glide.cpp": '#include "../../include/glide.h"\n',
            "engine/extra/file.h": "",
            "tessel2/deep.cpp": '#include "render/state.h"\n',
            "tessel3/other.cpp": '#include "../tessel2/rules.h"\n',
            "tessel3/state.cpp": 'void f() { renderState.fog = 0; }  // renderState\n',
            "tessel3/device.cpp": 'IDirect3DDevice7 *device;\nconst char *name = "IDirect3DDevice7";\n',
        })
        self.assertEqual(sorted(problems), sorted([
            "engine/core/up.cpp: includes render/state.h, a layer above its own",
            "engine/texture/up.cpp: includes session/show.h, a layer above its own",
            "engine/core/glide.cpp: includes include/glide.h, outside the engine",
            "engine/extra/file.h: its folder is in no layer of engine/layers.txt",
            "tessel2/deep.cpp: includes engine/render/state.h, which is not an interface header "
            "(engine/layers.txt)",
            "tessel3/other.cpp: includes tessel2/rules.h, outside its front end and the engine's interface",
            "tessel3/state.cpp: uses renderState, which only the engine may touch",
            "tessel3/device.cpp: uses IDirect3DDevice7, which only the engine may touch",
        ]))

    def test_names_in_comments_and_strings_are_not_code(self):
        self.assertEqual(self.tree({"tessel2/note.cpp": '// renderState\nconst char *s = "renderState";\n'}), [])


if __name__ == "__main__":
    unittest.main()
