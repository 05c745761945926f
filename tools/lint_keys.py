#!/usr/bin/env python3
"""Keys for make lint's cache of clean files.

    lint_keys.py BUILD_DIR CACHE_DIR SALT < FILES

A file's key is the hash of SALT (the linter's version, configuration and arguments), its path within
the project and its preprocessed text, with the project's own folder taken out so that every clone
of it gives the same key. Any change to the file, to a header it includes or to its flags changes
the key. Prints "KEY FILE" for each file whose key is not in CACHE_DIR, that is, each file to lint.
"""
import hashlib
import json
import os
import shlex
import subprocess
import sys

build, cache, salt = sys.argv[1:4]
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
commands = {entry["file"]: entry for entry in json.load(open(os.path.join(build, "compile_commands.json")))}


def preprocessed(entry):
    args = shlex.split(entry["command"])
    if "-o" in args:
        at = args.index("-o")
        del args[at:at + 2]
    # No line markers: they would carry the clone's paths.
    result = subprocess.run(args + ["-E", "-P"], cwd=entry["directory"], capture_output=True)
    return result.stdout if result.returncode == 0 else None


for name in sys.stdin.read().split():
    text = preprocessed(commands[name])
    if text is None:
        print("none", name)  # cannot be keyed: lint it, never cache it
        continue
    digest = hashlib.sha256()
    digest.update(salt.encode())
    digest.update(os.path.relpath(name, root).encode())
    digest.update(text.replace(root.encode(), b"."))
    key = digest.hexdigest()
    if not os.path.exists(os.path.join(cache, key)):
        print(key, name)
