#!/usr/bin/env python3
"""Finds code of the product that the product itself never uses.

    tools/dead_code.py [REPO]      prints each finding; exits 1 when there is one

Every function, member, constant, enumerator and table field that the product's C++ files declare
outside function bodies must be used by the product: a name whose every mention is a
declaration, a definition or a designated initializer in a table (written, never read) is
reported. Tests are no users: code that only tests call is dead weight of the program. The check
goes by names, so one use of a name keeps every declaration of it; locals and parameters are left
to the compilers' unused warnings. Standard library only; it reads the files in well under a
second.
"""

import re
import subprocess
import sys
from collections import defaultdict
from pathlib import Path

FOLDERS = ("app", "batch", "core", "dialogs", "log", "power", "sleep", "system", "text", "ui")

# Called by the system, not by the program: the entry points and the methods that COM's
# interfaces oblige every object to have.
CALLED_BY_THE_SYSTEM = {
    "wWinMain",
    "DllMain",
    "QueryInterface",
    "AddRef",
    "Release",
    "GetTypeInfoCount",
    "GetTypeInfo",
    "GetIDsOfNames",
    "Invoke",
    "GetWindow",
    "ContextSensitiveHelp",
}

KEYWORDS = set(
    """alignas alignof asm break case catch class co_await co_return co_yield concept const_cast
    continue decltype default delete do dynamic_cast else enum export extern false for friend goto
    if namespace new nullptr operator private protected public reinterpret_cast requires return
    sizeof static_assert static_cast struct switch template this throw true try typedef typeid
    typename union using while override final define include pragma once ifdef ifndef endif""".split()
)
# Words that may stand right in front of a declared name.
TYPE_WORDS = set(
    """auto bool char double float int long short signed unsigned void wchar_t const constexpr
    constinit consteval static inline virtual explicit mutable volatile thread_local
    noexcept""".split()
)
# Words that may stand between a function's ")" and its body.
AFTER_PARAMETERS = {"const", "noexcept", "override", "final", "mutable", ">", "*", "&"}

TOKEN = re.compile(
    r"(?P<skip>//[^\n]*|/\*.*?\*/|^\s*#\s*include[^\n]*"
    r'|(?:L|u8|u|U)?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"'
    r'|(?:L|u8|u|U)?"(?:\\.|[^"\\\n])*"|(?:L|u8|u|U)?\'(?:\\.|[^\'\\\n])*\')'
    r"|(?P<name>[A-Za-z_]\w*)|(?P<punct>::|->|[=!<>]=|&&|\|\||\S)",
    re.S | re.M,
)


def tokens(text):
    return [m.group("name") or m.group("punct") for m in TOKEN.finditer(text) if not m.group("skip")]


def is_name(tok):
    return bool(re.match(r"[A-Za-z_]", tok)) and tok not in KEYWORDS


def ends_type(toks, i):
    """Whether toks[i] can end the type written in front of a declared name."""
    tok = toks[i] if i >= 0 else ""
    if tok in TYPE_WORDS or tok == ">":
        return True
    if tok in ("*", "&", "&&"):
        return i >= 1 and (is_name(toks[i - 1]) or toks[i - 1] in TYPE_WORDS or toks[i - 1] == ">")
    return is_name(tok)


def declares(toks, i):
    """Whether the mention toks[i] declares or defines its name rather than using it."""
    prev = toks[i - 1] if i else ""
    nxt = toks[i + 1] if i + 1 < len(toks) else ""
    if prev in ("struct", "class", "union", "namespace", "using", "define", "typename"):
        return True
    if prev == "." and nxt == "=" and i >= 2 and toks[i - 2] in ("{", ","):
        return True  # a designated initializer writes the field; nobody reads it there
    if prev == "::":
        # Type Class::name( ... ) { : an out-of-class definition. A constructor or destructor
        # (Class::Class, Class::~Class) has no type in front and is used by being the class.
        return nxt == "(" and i >= 3 and toks[i - 2] != toks[i] and ends_type(toks, i - 3)
    if prev in (".", "->"):
        return False
    if prev in ("*", "&", "&&", ">"):
        # A declarator (Type* name =, std::array<...> name{) or an operator (a * b, a > b).
        return nxt in ("(", "=", ";", "{", "[") and ends_type(toks, i - 1)
    return ends_type(toks, i - 1) and nxt in ("(", "=", ";", "{", "[", ",", ":")


def scan(toks, declared, used, rel):
    """Sorts every mention of a name outside function bodies into declared and used."""
    scopes = []  # for each open brace: "body" (function or lambda), "enum", "other"
    pending_enum = False
    parens = 0  # parameter lists and arguments: their names are parameters or uses
    for i, tok in enumerate(toks):
        if tok in ("(", ")"):
            parens += 1 if tok == "(" else -1
            continue
        if tok == "enum":
            pending_enum = True
        elif tok == ";":
            pending_enum = False
        if tok == "{":
            j = i - 1
            while j >= 0 and toks[j] in AFTER_PARAMETERS:
                j -= 1
            in_body = "body" in scopes
            if pending_enum:
                scopes.append("enum")
                pending_enum = False
            elif in_body or (j >= 0 and toks[j] == ")"):
                scopes.append("body")
            else:
                scopes.append("other")
            continue
        if tok == "}":
            if scopes:
                scopes.pop()
            continue
        if not is_name(tok) or tok in TYPE_WORDS:
            continue
        inner = scopes[-1] if scopes else "other"
        if inner == "body" or parens > 0:
            used.add(tok)  # locals and parameters are the compilers' business
        elif inner == "enum" and toks[i - 1] in ("{", ",") and toks[i + 1] in ("=", ",", "}"):
            declared[tok].add(rel)
        elif toks[i - 1] == "enum" or (toks[i - 1] == "class" and toks[i - 2] == "enum"):
            used.add(tok)  # an enumeration is used through its enumerators
        elif declares(toks, i):
            declared[tok].add(rel)
        else:
            used.add(tok)


def main():
    repo = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[1])
    listed = subprocess.run(
        ["git", "ls-files", "--cached", "--others", "--exclude-standard"],
        cwd=repo,
        capture_output=True,
        text=True,
        check=True,
    ).stdout.split()
    declared = defaultdict(set)
    used = set(CALLED_BY_THE_SYSTEM)
    for rel in listed:
        if rel.split("/", 1)[0] not in FOLDERS:
            continue
        path = repo / rel
        if not path.is_file():
            continue
        if rel.endswith(".def"):
            # The exports of sleep.dll are used by whoever loads it.
            used.update(re.findall(r"^\s+([A-Za-z_]\w*)", path.read_text(encoding="utf-8"), re.M))
        elif rel.endswith((".cpp", ".h")):
            scan(tokens(path.read_text(encoding="utf-8")), declared, used, rel)
    findings = sorted(name for name in declared if name not in used)
    for name in findings:
        print(f"dead code: {name} ({', '.join(sorted(declared[name]))}) is never used by the product")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
