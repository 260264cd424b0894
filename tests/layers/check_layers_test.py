#!/usr/bin/env python3
"""scripts/check-layers on a planted tree: an include that runs up is named by file:line, one
that runs down passes, a folder missing from the table stops the check; the real tree passes."""
import pathlib
import subprocess
import sys
import tempfile

checker, real_src = sys.argv[1], sys.argv[2]


def run(src):
    done = subprocess.run([sys.executable, checker, str(src)], capture_output=True, text=True)
    return done.returncode, done.stdout


with tempfile.TemporaryDirectory() as folder:
    src = pathlib.Path(folder)
    (src / "layers.txt").write_text("# folder layer\nlow 1\nhigh 2\n")
    (src / "low").mkdir()
    (src / "high" / "sub").mkdir(parents=True)
    (src / "low" / "A.h").write_text('#pragma once\n#include "low/B.h"\n#include "high/sub/C.h"\n#include <vector>\n')
    (src / "high" / "sub" / "C.h").write_text('#pragma once\n#include "low/A.h"\n#include "C2.h"\n')
    code, out = run(src)
    assert code == 1, (code, out)
    assert "low/A.h:3:" in out and out.count(": low (layer 1) includes") == 1, out

    (src / "low" / "A.h").write_text('#pragma once\n')
    assert run(src) == (0, ""), run(src)

    (src / "stray").mkdir()
    code, out = run(src)
    assert code == 2 and "stray" in out, (code, out)

code, out = run(real_src)
assert code == 0, out
print("check-layers: ok")
