#!/usr/bin/env python3
"""Mutation testing of the portable C++ logic against the unit tests.

    tools/mutation.sh                      every file of the portable logic, report in docs/testing.md
    tools/mutation.sh app/frm_main.cpp     only these files (the report is not written)
    tools/mutation.sh --list FILE          print the sampled mutants of FILE and stop

Each mutant is one textual change of one line (universalmutator-style operators, below). The
sources are copied into build/mutation/src, which has its own non-sanitized Debug build in
build/mutation/build, so the working tree is never changed and only the mutated file (and what
includes it) recompiles. A mutant that does not compile is dropped; any other runs the unit tests
through CTest with a per-test timeout and stops at the first failure. A mutant that no test fails
survives; survivors are either explained as equivalent in tools/mutation_equivalent.txt or listed
as open in the report.

Python standard library only: no registry that packages a C++ mutation tool is reachable from
the machines this project builds on.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
import zlib
from dataclasses import dataclass, field
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
WORK = REPO / "build" / "mutation"
SHADOW = WORK / "src"
BUILD = WORK / "build"
EQUIVALENTS = REPO / "tools" / "mutation_equivalent.txt"
REPORT = REPO / "docs" / "testing.md"
REPORT_MARKER = "<!-- Everything below is written by tools/mutation.py. -->"

# The portable logic: every source of these folders that is not part of the Win32 front end.
FOLDERS = ["app", "batch", "core", "dialogs", "log", "power", "sleep", "text", "ui"]
# Headers that hold logic of their own (the others only declare).
LOGIC_HEADERS = [
    "core/dpi_math.h",
    "core/paced_ticker.h",
    "core/tasks.h",
    "power/power_actions.h",
]

SEED = 20261207
PER_FILE = 45  # at most this many mutants of one file; all of them when it has fewer
BUILD_TIMEOUT = 300
TEST_TIMEOUT = 10  # seconds for one test; a hang fails that test
SUITE_TIMEOUT = 300

# Fields of the design tables measured in twips: one step there is a pixel at 96 dpi (15 twips),
# since a single twip is a fifteenth of a pixel and nothing anyone could see.
TWIP_FIELD = re.compile(r"\b(left|top|width|height|clientWidth|clientHeight|pictureWidth|"
                        r"pictureHeight)\s*=\s*$")


def portable_files():
    files = []
    for folder in FOLDERS:
        for path in sorted((REPO / folder).iterdir()):
            rel = path.relative_to(REPO).as_posix()
            if path.suffix == ".cpp" and "_win32" not in path.name and path.name != "sleep_dll.cpp":
                files.append(rel)
    files += [h for h in LOGIC_HEADERS if (REPO / h).exists()]
    return files


# ---- Finding the code on a line ------------------------------------------------------------

@dataclass
class Line:
    text: str
    code: list = field(default_factory=list)  # (start, end) spans outside literals and comments
    strings: list = field(default_factory=list)  # (start, end) spans of string literals


def scan(lines):
    """Splits each line into code spans and string-literal spans; comments are neither."""
    result = []
    in_block = False
    for text in lines:
        line = Line(text)
        i, start, n = 0, 0, len(text)
        while i < n:
            if in_block:
                end = text.find("*/", i)
                if end < 0:
                    i = start = n
                    break
                i = start = end + 2
                in_block = False
                continue
            if text.startswith("//", i):
                break
            if text.startswith("/*", i):
                line.code.append((start, i))
                in_block = True
                i += 2
                continue
            if text[i] in "\"'":
                quote = text[i]
                literal_start = i
                # A prefix (L, u8, R) belongs to the literal.
                while literal_start > 0 and text[literal_start - 1] in "LuUR8":
                    literal_start -= 1
                if text[literal_start:i].endswith("R") and quote == '"':
                    delim = text[i + 1:text.find("(", i)]
                    end = text.find(")" + delim + '"', i)
                    j = n if end < 0 else end + len(delim) + 2
                else:
                    j = i + 1
                    while j < n and text[j] != quote:
                        j += 2 if text[j] == "\\" else 1
                    j = min(j + 1, n)
                line.code.append((start, literal_start))
                if quote == '"':
                    line.strings.append((literal_start, j))
                i = start = j
                continue
            i += 1
        if not in_block:
            line.code.append((start, i))
        else:
            line.code.append((start, min(i, n)))
        line.code = [(a, b) for a, b in line.code if b > a]
        result.append(line)
    return result


# ---- Operators -----------------------------------------------------------------------------

@dataclass
class Mutant:
    path: str
    line: int  # 1-based
    operator: str
    original: str
    mutated: str

    def key(self):
        return (self.path, self.original.strip(), self.mutated.strip())


BINARY = [
    # (pattern, replacements, operator name). Binary operators stand between blanks (the code
    # is clang-formatted), which tells them from template brackets, pointers and references.
    (" == ", [" != "], "relational"),
    (" != ", [" == "], "relational"),
    (" <= ", [" < ", " > "], "relational"),
    (" >= ", [" > ", " < "], "relational"),
    (" < ", [" <= ", " > "], "relational"),
    (" > ", [" >= ", " < "], "relational"),
    (" && ", [" || "], "logical"),
    (" || ", [" && "], "logical"),
    (" + ", [" - "], "arithmetic"),
    (" - ", [" + "], "arithmetic"),
    (" * ", [" / "], "arithmetic"),
    (" / ", [" * "], "arithmetic"),
    (" % ", [" / "], "arithmetic"),
    (" += ", [" -= "], "arithmetic"),
    (" -= ", [" += "], "arithmetic"),
    ("++", ["--"], "increment"),
    ("--", ["++"], "increment"),
]

NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+\.\d+|\d+)(?![\w.])")
WORD = re.compile(r"\b(true|false)\b")
NOT = re.compile(r"!(?!=)")
CONDITION = re.compile(r"^(\s*(?:\} else )?(?:if|while) \()(.*)(\) \{)$")
RETURN = re.compile(r"^(\s*return )(.+);$")
STATEMENT = re.compile(r"^\s*(?:[\w.\->\[\]():*&]+\s*(?:=|\+=|-=)\s*.+|[\w.\->:*&]+\(.*\)|"
                       r"(?:\+\+|--)[\w.\->]+|[\w.\->]+(?:\+\+|--));$")


def in_code(line, start, end):
    return any(a <= start and end <= b for a, b in line.code)


def number_variants(literal, before):
    if literal.lower().startswith("0x"):
        value = int(literal, 16)
        digits = len(literal) - 2
        out = []
        if digits == 8:  # a colour, &H00BBGGRR: blue and red swapped, black
            swapped = (value & 0xFF00FF00) | ((value & 0xFF) << 16) | ((value >> 16) & 0xFF)
            if swapped != value:
                out.append(("colour", "0x%08X" % swapped))
            if value:
                out.append(("constant", "0x%08X" % 0))
            return out
        for v in (value + 1, value - 1, 0):
            if v >= 0 and v != value:
                out.append(("constant", "0x%X" % v))
        return out
    if "." in literal:
        value = float(literal)
        return [("constant", repr(value + 1.0))] + ([("constant", "0.0")] if value else [])
    value = int(literal)
    if TWIP_FIELD.search(before):
        candidates = [value + 15, value - 15, 0]
    else:
        candidates = [value + 1, value - 1, 0, 1]
    out = []
    for v in candidates:
        if v >= 0 and v != value and ("constant", str(v)) not in out:
            out.append(("constant", str(v)))
    return out


def line_mutants(path, number, line, previous_code):
    text = line.text
    stripped = text.strip()
    if not stripped or stripped.startswith("#") or not line.code:
        return []
    code_text = "".join(text[a:b] for a, b in line.code).strip()
    if not code_text or code_text.startswith(("namespace", "using ", "template", "}  //")):
        return []
    out = []

    def add(operator, mutated):
        if mutated != text:
            out.append(Mutant(path, number, operator, text, mutated))

    for pattern, replacements, name in BINARY:
        for match in re.finditer(re.escape(pattern), text):
            s, e = match.span()
            if not in_code(line, s, e):
                continue
            if pattern in (" += ", " -= ") and text[e:].lstrip("Lu8").startswith(("\"", "'")):
                continue  # text is appended, not added
            if pattern in ("++", "--") and (text[s - 1:s] in "+-" or text[e:e + 1] in "+-="):
                continue
            if pattern in (" < ", " > ") and ("<<" in text[s - 1:e + 1] or ">>" in text[s - 1:e + 1]):
                continue
            for replacement in replacements:
                add(name, text[:s] + replacement + text[e:])
    for match in NUMBER.finditer(text):
        s, e = match.span()
        if not in_code(line, s, e) or text[:s].rstrip().endswith(("[", "operator")):
            continue
        for name, replacement in number_variants(match[1], text[:s]):
            add(name, text[:s] + replacement + text[e:])
    for match in WORD.finditer(text):
        s, e = match.span()
        if in_code(line, s, e):
            add("boolean", text[:s] + ("false" if match[1] == "true" else "true") + text[e:])
    for match in NOT.finditer(text):
        s, e = match.span()
        if in_code(line, s, e):
            add("negation", text[:s] + text[e:])
    condition = CONDITION.match(text)
    if condition and "//" not in text:
        add("negation", condition[1] + "!(" + condition[2] + ")" + condition[3])
    ret = RETURN.match(text)
    if ret and ret[2] not in ("{}", "true", "false", "nullptr", "0"):
        add("return", ret[1] + "{};")
    # Deleting a whole statement: only one that starts and ends on this line.
    starts_here = previous_code.endswith((";", "{", "}", ":")) or previous_code == ""
    if starts_here and STATEMENT.match(code_text) and not code_text.startswith(
            ("return", "const ", "auto ", "std::", "case ", "break", "continue", "throw")):
        indent = text[:len(text) - len(text.lstrip())]
        add("statement", indent + ";")
    for s, e in line.strings:
        literal = text[s:e]
        body = literal[literal.index('"') + 1:-1]
        starts_string_only = code_text == "" or stripped.startswith(('L"', '"'))
        if body and not literal.startswith(("R", "LR")) and not starts_string_only:
            add("string", text[:s] + literal[:literal.index('"')] + '""' + text[e:])
            break
    return out


def mutants_of(path):
    lines = (REPO / path).read_text(encoding="utf-8").split("\n")
    scanned = scan(lines)
    out = []
    previous_code = ""
    for number, line in enumerate(scanned, start=1):
        out += line_mutants(path, number, line, previous_code)
        code_text = "".join(line.text[a:b] for a, b in line.code).strip()
        if code_text:
            previous_code = code_text
    return out


def sample(path, mutants, per_file, seed):
    if len(mutants) <= per_file:
        return mutants
    rng = random.Random("%d:%s" % (seed, path))
    chosen = sorted(rng.sample(range(len(mutants)), per_file))
    return [mutants[i] for i in chosen]


# ---- Running -------------------------------------------------------------------------------

def run(args, cwd, timeout):
    """Runs a command in its own process group; (exit code or None on timeout, output)."""
    proc = subprocess.Popen(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            stdin=subprocess.DEVNULL, start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return None, ""
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


def tracked_files():
    code, out = run(["git", "ls-files", "--cached", "--others", "--exclude-standard"], REPO, 60)
    if code == 0:
        return [p for p in out.splitlines() if p and not p.startswith("build/")]
    return [p.relative_to(REPO).as_posix() for p in REPO.rglob("*")
            if p.is_file() and not p.relative_to(REPO).as_posix().startswith(("build/", ".git/"))]


def sync_shadow():
    """Copies the working tree into the shadow tree, touching only files that differ."""
    wanted = set()
    for rel in tracked_files():
        source = REPO / rel
        if not source.is_file():
            continue
        wanted.add(rel)
        target = SHADOW / rel
        data = source.read_bytes()
        if not target.exists() or target.read_bytes() != data:
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
    for path in sorted(SHADOW.rglob("*"), reverse=True):
        rel = path.relative_to(SHADOW).as_posix()
        if path.is_file() and rel not in wanted:
            path.unlink()


def configure():
    BUILD.mkdir(parents=True, exist_ok=True)
    generator = ["-G", "Ninja"] if shutil.which("ninja") else []
    code, out = run(["cmake", "-S", str(SHADOW), "-B", str(BUILD), *generator,
                     "-DCMAKE_BUILD_TYPE=Debug", "-DZORVO_SANITIZE=OFF",
                     # Reading past the end of a string or vector stops the test at once
                     # instead of finding whatever lies behind it.
                     "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS",
                     "-DZORVO_TEST_TIMEOUT=%d" % TEST_TIMEOUT], REPO, 300)
    if code != 0:
        sys.exit("mutation: cmake configure failed\n" + out)


def build():
    code, _ = run(["cmake", "--build", str(BUILD), "-j", "2"], BUILD, BUILD_TIMEOUT)
    return code == 0


FAILED_TEST = re.compile(r"Test\s+#\d+: (\S+) \.+\s*\*+(Failed|Timeout|Exception|Not Run)")


def unit_tests():
    """None when every test passes, else the name of the first failing test."""
    code, out = run(["ctest", "--test-dir", str(BUILD), "--stop-on-failure",
                     "--timeout", str(TEST_TIMEOUT)], BUILD, SUITE_TIMEOUT)
    if code == 0:
        return None
    if code is None:
        return "(the whole suite timed out)"
    match = FAILED_TEST.search(out)
    if match:
        return match[1] + (" (timeout)" if match[2] == "Timeout" else "")
    return "(ctest exit %d)" % code


def write_file(path, text):
    path.write_text(text, encoding="utf-8")
    # A fresh modification time, so the build sees every change even within one clock tick.
    now = time.time_ns()
    os.utime(path, ns=(now, now))


@dataclass
class Outcome:
    mutant: Mutant
    status: str  # killed, survived, dropped
    killer: str = ""


def test_mutant(mutant):
    target = SHADOW / mutant.path
    original = target.read_text(encoding="utf-8")
    lines = original.split("\n")
    assert lines[mutant.line - 1] == mutant.original, "the shadow copy is out of step"
    lines[mutant.line - 1] = mutant.mutated
    try:
        write_file(target, "\n".join(lines))
        if not build():
            return Outcome(mutant, "dropped")
        killer = unit_tests()
        return Outcome(mutant, "killed" if killer else "survived", killer or "")
    finally:
        write_file(target, original)


# ---- Equivalent mutants and the report -----------------------------------------------------

def load_equivalents():
    """Blocks of: the file, "-" original line, "+" mutated line, "why:" the reason."""
    table = {}
    if not EQUIVALENTS.exists():
        return table
    blocks = re.split(r"\n\s*\n", EQUIVALENTS.read_text(encoding="utf-8"))
    for block in blocks:
        rows = [r for r in block.split("\n") if r.strip() and not r.startswith("#")]
        if not rows:
            continue
        path = rows[0].strip()
        original = next(r[1:] for r in rows if r.startswith("-"))
        mutated = next(r[1:] for r in rows if r.startswith("+"))
        why = " ".join(r.partition(":")[2].strip() if r.startswith("why:") else r.strip()
                       for r in rows[rows.index(next(r for r in rows if r.startswith("why:"))):])
        table[(path, original.strip(), mutated.strip())] = why
    return table


def score(killed, survived):
    total = killed + survived
    return "%.1f %%" % (100.0 * killed / total) if total else "-"


def write_report(outcomes, files, generated, equivalents, elapsed, pending=()):
    rows = []
    totals = dict(generated=0, sampled=0, dropped=0, killed=0, equivalent=0, survived=0)
    survivors = []
    for path in files:
        mine = [o for o in outcomes if o.mutant.path == path]
        counts = dict(generated=generated[path], sampled=len(mine),
                      dropped=sum(o.status == "dropped" for o in mine),
                      killed=sum(o.status == "killed" for o in mine), equivalent=0, survived=0)
        for o in mine:
            if o.status != "survived":
                continue
            why = equivalents.get(o.mutant.key())
            counts["equivalent" if why else "survived"] += 1
            survivors.append((o, why))
        for k in totals:
            totals[k] += counts[k]
        rows.append((path, counts))

    out = [REPORT_MARKER, "", "## Latest run", "",
           "Seed %d, at most %d mutants a file, %d s per test; %d mutants in %.1f minutes on "
           "%d cores." % (SEED, PER_FILE, TEST_TIMEOUT, totals["sampled"], elapsed / 60,
                          os.cpu_count() or 1), "",
           "Score: killed / (compiled - equivalent).", ""]
    if pending:
        out += ["**Not finished**: the run stopped (or is still running) before %s." % ", ".join(
            "`%s`" % p for p in pending), ""]
    out += ["| file | mutants | sampled | not compiled | killed | equivalent | survived | score |",
            "|---|---:|---:|---:|---:|---:|---:|---:|"]
    for path, c in rows + [("**total**", totals)]:
        out.append("| %s | %d | %d | %d | %d | %d | %d | %s |" % (
            path if path.startswith("*") else "`%s`" % path, c["generated"], c["sampled"],
            c["dropped"], c["killed"], c["equivalent"], c["survived"],
            score(c["killed"], c["survived"])))
    out += ["", "## Survivors", ""]
    if not survivors:
        out.append("None.")
    for o, why in survivors:
        m = o.mutant
        out += ["- `%s:%d` (%s) — %s" % (m.path, m.line, m.operator,
                                          "equivalent: " + why if why else "**not killed**"),
                "  ```", "  - " + m.original.strip(), "  + " + m.mutated.strip(), "  ```"]
    text = REPORT.read_text(encoding="utf-8") if REPORT.exists() else ""
    head = text.split(REPORT_MARKER)[0].rstrip() + "\n\n" if REPORT_MARKER in text else text
    REPORT.write_text(head + "\n".join(out) + "\n", encoding="utf-8")


# ---- Main ----------------------------------------------------------------------------------

def main(argv):
    global PER_FILE
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="*", help="only these files (no report is written)")
    parser.add_argument("--list", action="store_true", help="list the sampled mutants and stop")
    parser.add_argument("--per-file", type=int, default=PER_FILE)
    args = parser.parse_args(argv)
    PER_FILE = args.per_file

    files = args.files or portable_files()
    selected = {}
    generated = {}
    for path in files:
        every = mutants_of(path)
        generated[path] = len(every)
        selected[path] = sample(path, every, PER_FILE, SEED)
    if args.list:
        for path in files:
            print("%s: %d of %d" % (path, len(selected[path]), generated[path]))
            for m in selected[path]:
                print("  %4d %-10s %s" % (m.line, m.operator, m.mutated.strip()))
        return 0

    started = time.monotonic()
    # Ctrl-C and a kill both unwind through the restoring `finally`.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    sync_shadow()
    configure()
    if not build() or unit_tests() is not None:
        sys.exit("mutation: the unmutated sources must build and pass the unit tests")
    equivalents = load_equivalents()
    outcomes = []
    total = sum(len(v) for v in selected.values())
    done = 0
    try:
        for path in files:
            for mutant in selected[path]:
                outcome = test_mutant(mutant)
                outcomes.append(outcome)
                done += 1
                if outcome.status == "survived":
                    note = "equivalent" if mutant.key() in equivalents else "SURVIVED"
                    print("[%d/%d] %s:%d %s: %s" % (done, total, path, mutant.line, note,
                                                  mutant.mutated.strip()), flush=True)
            mine = [o for o in outcomes if o.mutant.path == path]
            if not args.files:  # a run stopped early still leaves the report of what it did
                equivalents = load_equivalents()  # explained meanwhile
                done_files = files[:files.index(path) + 1]
                write_report(outcomes, done_files, generated, equivalents,
                             time.monotonic() - started, files[len(done_files):])
            print("%s: %d killed, %d survived, %d not compiled (%.0f s)" % (
                path, sum(o.status == "killed" for o in mine),
                sum(o.status == "survived" for o in mine),
                sum(o.status == "dropped" for o in mine), time.monotonic() - started), flush=True)
    except KeyboardInterrupt:
        print("mutation: interrupted; the shadow copy is restored", file=sys.stderr)
        return 130
    elapsed = time.monotonic() - started
    survived = [o for o in outcomes if o.status == "survived" and o.mutant.key() not in equivalents]
    killed = sum(o.status == "killed" for o in outcomes)
    print("mutation: %d killed, %d survived (not equivalent), score %s, %.1f min" % (
        killed, len(survived), score(killed, len(survived)), elapsed / 60))
    if not args.files:
        write_report(outcomes, files, generated, equivalents, elapsed)
        print("mutation: report written to %s" % REPORT.relative_to(REPO))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
