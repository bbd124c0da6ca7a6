#!/usr/bin/env python3
"""Runs the ztbtool command lines of a rollout guide and checks the JSON
paths its examples read against their real output.

    doc-examples.py GUIDE.md ZTBTOOL_EXE

Under Wine (WINEPREFIX set), with ZTBTOOL_EXE's folder holding the demo's
distribution tables and the prefix's Windows directory the demo's installed
ones. Command lines are the lines of code blocks, and the code spans of
table rows, that name ztbtool.exe (or $ztbtool) and a subcommand; the
variables they use ($Model, {{ ztb_model }}) take the values the same block
assigns, and a UNC path stands for the package's folder. Each runs twice
from the same start, once as set up (with one table replaced, so that a
backup exists) and once with the backup folder made unusable (a file of
that name), so that rows fail: the first run must exit 0 with a JSON object
on its last line, neither may exit 2. A JSON variable is one assigned from
ConvertFrom-Json or from_json; it holds the output of the block's command
on that line or, failing that, the nearest one above. Every path read from
it ($report.failed, $row.Reason, ztb_report.error, ...) must name keys that
the output has. A command whose subcommand or options the built ztbtool
does not know (by `ztbtool SUBCOMMAND --help`), or whose --json it lacks,
is skipped, with its paths.
"""
import functools
import json
import os
import re
import shlex
import shutil
import subprocess
import sys

SUBCOMMANDS = "check|list|install|remove|backups|restore|history"
COMMAND = re.compile(r"(?:ztbtool\.exe|\$ztbtool)\s+(?:" + SUBCOMMANDS + r")\b.*")
PS_VALUE = re.compile(r"\$(\w+)\s*=\s*'([^']*)'")
YAML_VALUE = re.compile(r"^\s*(\w+):\s*(\S.*?)\s*$")
PS_PATH = re.compile(r"\$(\w+)((?:\.[A-Za-z_]\w*)+)")
JINJA_PATH = re.compile(r"(?<![\w.$])([a-z_]\w*)((?:\.[A-Za-z_]\w*)+)(\s*\|\s*map\(attribute='(\w+)'\))?")
JINJA_OUTPUT = re.compile(r"\((\w+)\.stdout_lines \| last \| from_json\)((?:\.[A-Za-z_]\w*)+)"
                          r"(\s*\|\s*map\(attribute='(\w+)'\))?")
FAMILY = {"install": "operation", "remove": "operation", "restore": "operation"}

ztbtool, failures, verified, unverified, skipped = "", [], set(), {}, []


def wine(*args):
    run = subprocess.run(["wine", ztbtool, *args], capture_output=True, text=True, errors="replace",
                         cwd=os.path.dirname(ztbtool))
    return run.returncode, run.stdout.replace("\r", "")


def blocks(text):
    """The code blocks, and each table row's code spans as a block of its own."""
    for match in re.finditer(r"^```\w*\n(.*?)^```", text, re.S | re.M):
        yield match.group(1).splitlines()
    for row in re.findall(r"^\|.*$", text, re.M):
        for span in re.findall(r"`([^`]*)`", row):
            yield [span]


def arguments(line, values, folder):
    """The argument list of the command on line, its variables replaced."""
    match = COMMAND.search(line)
    rest = re.sub(r"^\S+\s+", "", match.group(0))
    if line[:match.start()].count("'") % 2:  # a quote opened before the program ends the line
        rest = rest.rstrip()[:-1]
    rest = re.sub(r"\{\{\s*(\w+)\s*\}\}", lambda m: values.get(m.group(1), m.group(0)), rest)
    words, depth = [], 0
    lexer = shlex.shlex(rest, posix=True, punctuation_chars="|)")
    lexer.whitespace_split = True
    for word in lexer:
        if word in ("|", ")"):
            break
        words.append(values.get(word[1:], word) if word.startswith("$") else word)
    return [folder if word.startswith("\\\\") else word for word in words]


@functools.cache
def help_of(subcommand):
    return wine(subcommand, "--help")


def known(args):
    """False for a subcommand this ztbtool lacks, or its --json where it has none yet."""
    status, help_text = help_of(args[0])
    return status == 0 and ("--json" not in args or "--json" in help_text)


def outputs(args, kvdata, starts):
    """The JSON objects of the command run from each start."""
    results = []
    for number, start in enumerate(starts):
        shutil.rmtree(kvdata)
        shutil.copytree(start, kvdata)
        status, out = wine(*args)
        lines = out.strip().splitlines()
        try:
            results.append(json.loads(lines[-1]))
        except (IndexError, ValueError):
            if number == 0:
                failures.append(f"{' '.join(args)}: no JSON object on the last line")
        if status == 2 or (number == 0 and status != 0):
            failures.append(f"{' '.join(args)}: exit status {status}\n{out}")
    return results


def resolve(name, family, nodes, steps):
    """Checks steps into nodes; a key missing from an object is a failure."""
    path = family
    for step in steps:
        if step in ("Count", "Length") and any(isinstance(node, list) for node in nodes):
            return
        nodes = [item for node in nodes for item in (node if isinstance(node, list) else [node])]
        objects = [node for node in nodes if isinstance(node, dict)]
        path += "." + step
        missing = [node for node in objects if step not in node]
        if missing:
            failures.append(f"{name}.{'.'.join(steps)}: no key {step} in {json.dumps(missing[0])[:200]}")
            return
        if not objects:
            unverified.setdefault(path, name)
            return
        verified.add(path)
        nodes = [node[step] for node in objects]


def check_block(lines, folder, kvdata, starts):
    values = {}
    for line in lines:
        for pattern in (PS_VALUE, YAML_VALUE):
            for key, value in pattern.findall(line):
                values.setdefault(key, value.strip("'\""))
    bound = {}      # variable: (family, JSON nodes) or None for a skipped command's
    registered = {}  # Ansible register name: the task's command output
    last = None
    tasks, task = [], []
    for line in lines:  # Ansible tasks start with "- name:"; elsewhere one task
        if re.match(r"^\s*- name:", line) and task:
            tasks.append(task)
            task = []
        task.append(line)
    tasks.append(task)
    for task in tasks:
        loop = re.search(r"loop:\s*\"\{\{\s*(\w+)((?:\.\w+)+)\s*\}\}\"", "\n".join(task))
        for line in task:
            if COMMAND.search(line):
                args = arguments(line, values, folder)
                if known(args):
                    last = (FAMILY.get(args[0], args[0]), outputs(args, kvdata, starts))
                else:
                    last = None
                    skipped.append(" ".join(args))
            register = re.search(r"register:\s*(\w+)", line)
            if register:
                registered[register.group(1)] = last
            assigned = re.search(r"\$(\w+)\s*=.*ConvertFrom-Json", line)
            if assigned:
                bound[assigned.group(1)] = last
            fact = re.search(r"^\s*(\w+):\s*\"\{\{\s*(\w+)\.stdout_lines \| last \| from_json", line)
            if fact:
                bound[fact.group(1)] = registered.get(fact.group(2))
            loop_var = re.search(r"foreach \(\$(\w+) in \$(\w+)((?:\.\w+)+)\)", line)
            for variable, source in ((loop_var, loop_var and loop_var.group(1)), (loop, "item")):
                if variable:  # a loop variable: the elements of a list, unless its command was skipped
                    name, path = variable.groups()[-2:]
                    bound[source] = bound.get(name) and (bound[name][0] + path, nodes_at(bound[name][1], path))
            references = [(m.group(1), m.group(2), None) for m in PS_PATH.finditer(line)]
            if "{{" in line or re.search(r"(when|that):|^\s*- ", line):
                references += [(m.group(1), m.group(2), m.group(4)) for m in JINJA_PATH.finditer(line)]
                for m in JINJA_OUTPUT.finditer(line):
                    if registered.get(m.group(1)):
                        family, nodes = registered[m.group(1)]
                        steps = m.group(2)[1:].split(".") + ([m.group(4)] if m.group(4) else [])
                        resolve(m.group(1), family, nodes, steps)
            for name, path, attribute in references:
                if bound.get(name):
                    family, nodes = bound[name]
                    resolve(name, family, nodes, path[1:].split(".") + ([attribute] if attribute else []))


def nodes_at(nodes, path):
    for step in path[1:].split("."):
        nodes = [item for node in nodes for item in (node if isinstance(node, list) else [node])]
        nodes = [node[step] for node in nodes if isinstance(node, dict) and step in node]
    return [item for node in nodes for item in (node if isinstance(node, list) else [node])]


def main():
    global ztbtool
    guide, ztbtool = sys.argv[1], os.path.abspath(sys.argv[2])
    folder = subprocess.run(["winepath", "-w", os.path.dirname(ztbtool)], capture_output=True,
                            text=True).stdout.strip()
    kvdata = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "KVData")
    work = os.path.join(os.path.dirname(os.path.dirname(ztbtool)), "doc-starts")
    shutil.rmtree(work, ignore_errors=True)
    starts = [os.path.join(work, "backed-up"), os.path.join(work, "no-backup-folder")]
    shutil.copytree(kvdata, starts[1])
    shutil.rmtree(os.path.join(starts[1], "ZTB", "Backup"), ignore_errors=True)
    open(os.path.join(starts[1], "ZTB", "Backup"), "w").close()
    status, out = wine("install", "--model", "Orvane A", "D1002S10.ztb")
    if status != 0:
        sys.exit(f"doc-examples: the setup's install failed:\n{out}")
    shutil.copytree(kvdata, starts[0])

    for lines in blocks(open(guide, encoding="utf-8").read()):
        check_block(lines, folder, kvdata, starts)
    for path, name in unverified.items():
        if path not in verified:
            failures.append(f"{name}: {path} was never reached (only empty lists)")
    for command in dict.fromkeys(skipped):
        print(f"doc-examples: skipped (not in this ztbtool): {command}")
    for failure in failures:
        print(f"doc-examples: FAIL {failure}")
    print(f"doc-examples: {len(verified)} JSON paths found, {len(set(skipped))} commands skipped, "
          f"{len(failures)} failures")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
