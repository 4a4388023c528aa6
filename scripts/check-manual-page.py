#!/usr/bin/env python3
"""Fails unless the manual page, as man shows it, lists under COMMANDS the verbs of
`chequeprint --help` in its order, each with the usage's synopsis and help, and under OPTIONS
every option the usage names, each with the usage's value name and help; the page may name no
verb or option that the usage lacks.
  check-manual-page.py PROGRAM PAGE"""
import os
import re
import subprocess
import sys

program, page = sys.argv[1:3]
usage = subprocess.run([program, "--help"], capture_output=True, text=True, check=True).stdout
env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80", MANROFFSEQ="")
shown = subprocess.run(["man", "-E", "UTF-8", "-l", page], capture_output=True, text=True,
                       check=True, env=env).stdout
shown = re.sub("\u2010\n *", "", shown)  # undo the hyphenation of words at a line's end


def entries(lines, indent):
    """A list's entries: a line indented by `indent` starts one, deeper lines carry it on;
    each entry's words joined by single blanks, keyed by its first word."""
    found = []
    for line in lines:
        depth = len(line) - len(line.lstrip(" "))
        if line.strip() and depth == indent:
            found.append(line)
        elif line.strip() and depth > indent and found:
            found[-1] += " " + line
    return {" ".join(e.split()).split(" ")[0]: " ".join(e.split()) for e in found}


def section(name):
    lines = shown.splitlines()
    start = lines.index(name) + 1
    end = next(i for i in range(start, len(lines)) if lines[i] and not lines[i][0].isspace())
    return lines[start:end]


verb_lines, option_lines = usage.split("\nOptions:\n")
usage_verbs = entries(verb_lines.splitlines(), 2)
usage_options = entries(option_lines.splitlines(), 2)
page_verbs = entries(section("COMMANDS"), 7)
page_options = entries(section("OPTIONS"), 7)
problems = []
if list(page_verbs) != list(usage_verbs):
    problems.append(f"COMMANDS lists {list(page_verbs)}, the usage {list(usage_verbs)}")
for verb, entry in usage_verbs.items():
    if verb in page_verbs and page_verbs[verb] != entry:
        problems.append(f"COMMANDS writes\n  {page_verbs[verb]}\nthe usage\n  {entry}")
# Every option: those of the usage's list with their help, those in the verbs' brackets with
# their value names ("--pdf FILE", "--save").
expected = dict(usage_options)
for group in re.findall(r"\[(--[^\]]*)\]", " ".join(usage_verbs.values())):
    for typed in group.split(" | "):
        expected.setdefault(typed.split(" ")[0], typed)
named = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", usage)) | set(usage_options)
if set(page_options) != named:
    problems.append(f"OPTIONS lists {sorted(page_options)}, the usage names {sorted(named)}")
for option, start in expected.items():
    entry = page_options.get(option, "")
    after = entry[len(start):]  # the page's own words: "Taken by ...", never a value name
    if not entry.startswith(start) or (after and (after[0] != " " or after.split()[0].isupper())):
        problems.append(f"OPTIONS writes\n  {entry}\nthe usage\n  {start}")
for problem in problems:
    print("manual page:", problem, file=sys.stderr)
print(f"manual page: {len(page_verbs)} verbs and {len(page_options)} options, "
      f"{len(problems)} problem(s)")
sys.exit(1 if problems else 0)
