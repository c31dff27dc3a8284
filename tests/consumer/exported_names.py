#!/usr/bin/env python3
"""Every name a library exports is one an installed header declares.

    exported_names.py [--shared <dir>] <include dir> <library>...

`--shared` names a folder of the internal headers that modules share
without installing them (they open `namespace vantrel VANTREL_API`, so
the module that holds the code exports it for the others): what they
declare is accounted for too, and nothing else of the source tree is.

Reads each library's dynamic symbols (nm -DC --defined-only) and the
installed headers, and prints one line per exported symbol that no header
accounts for; exits 1 if there is any. A symbol is accounted for when
- it is a function, variable, vtable or type info of the vantrel namespace
  (not std::, which has its own check);
- every class on its path is defined in an installed header (a class only
  declared there, `class Impl;`, keeps its members to the library), and its
  own name (for a member: the member's) is a word of those headers;
- it belongs to no local type: a lambda's or a local class's type info or
  vtable is never anything a header declares.
A word match is a proxy for a declaration, but a name that no installed
header spells at all is surely not declared there.
"""
import os
import re
import subprocess
import sys

WRAPPERS = re.compile(
    r"^(typeinfo name for |typeinfo for |vtable for |VTT for |construction vtable for |"
    r"guard variable for |non-virtual thunk to |virtual thunk to |covariant return thunk to |"
    r"transaction clone for |reference temporary #\d+ for |TLS init function for |"
    r"TLS wrapper function for )")
CLASS_DEF = re.compile(
    r"\b(?:class|struct|union)\s+(?:\[\[[^\]]*\]\]\s*)?(?:alignas\([^)]*\)\s*)?(?:VANTREL_API\s+)?"
    r"([A-Za-z_]\w*)\s*(?:final\s*)?(?:[:{]|$)", re.M)
NAMESPACE = re.compile(r"\bnamespace\s+([A-Za-z_][\w:]*)")
WORD = re.compile(r"[A-Za-z_]\w*")


def header_facts(include_dir):
    words, classes, namespaces = set(), set(), set()
    for folder, _, files in os.walk(include_dir):
        for name in files:
            if not name.endswith(".h"):
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read()
            words.update(WORD.findall(text))
            classes.update(CLASS_DEF.findall(text))
            for n in NAMESPACE.findall(text):
                namespaces.update(n.split("::"))
    return words, classes, namespaces


def strip_balanced(text, open_char, close_char):
    """Removes every bracketed part (nested ones included)."""
    out, depth = [], 0
    for c in text:
        if c == open_char:
            depth += 1
        elif c == close_char and depth:
            depth -= 1
        elif depth == 0:
            out.append(c)
    return "".join(out)


def scopes(name):
    """Splits a demangled name (no wrappers) into its path: the components
    outside template arguments and parameter lists. A function-local entity
    `f(int)::x` keeps the function `f` as the last accounted component."""
    name = re.sub(r"\[abi:[^\]]*\]", "", name)
    # Operators hold characters the splitting below reads as brackets.
    name = re.sub(r"operator(?:\"\"\s*\w+|\(\)|\[\]|<=>|<<=?|>>=?|->\*?|[^\w\s(]+|\s+[^(]+)", "operator", name)
    # A function template's name comes after its return type.
    depth = 0
    for i, c in enumerate(name):
        if c in "(<":
            if c == "(" and depth == 0:
                break
            depth += 1
        elif c in ")>":
            depth -= 1
        elif c == " " and depth == 0:
            name, depth = name[i + 1:], 0
            return scopes(name)
    local = ""
    depth = 0
    for i, c in enumerate(name):
        if c in "(<":
            depth += 1
        elif c in ")>":
            depth -= 1
        elif depth == 0 and name.startswith("::", i) and i > 0 and name[i - 1] == ")":
            local = name[i + 2:]
            name = name[:i]
            break
    plain = strip_balanced(strip_balanced(name, "<", ">"), "(", ")")
    plain = re.sub(r"\s+(const|volatile|&&|&)\s*", "", plain).strip()
    return [p for p in plain.split("::") if p], local


def verdict(symbol, words, classes, namespaces):
    if symbol.startswith(("std::", "__gnu_cxx::")):
        return None  # the standard library's own check
    bare = WRAPPERS.sub("", symbol)
    while WRAPPERS.match(bare):
        bare = WRAPPERS.sub("", bare)
    if "{lambda" in bare or "{unnamed type" in bare:
        return "a lambda's or a local type's"
    if "(anonymous namespace)" in bare:
        return "in an anonymous namespace"
    path, local = scopes(bare)
    if local and WRAPPERS.match(symbol) and not symbol.startswith("guard variable"):
        return "a local type's"
    if len(path) == 1 and not local and path[0] in words:
        return None  # an extern "C" name a header declares
    if not path or path[0] != "vantrel":
        return "outside the vantrel namespace"
    *enclosing, own = path
    for part in enclosing[1:]:
        if part not in namespaces and part not in classes:
            return f"of class {part}, which no installed header defines"
    if own == "operator" or own.startswith("~"):
        own = own.lstrip("~")
        if own == "operator":
            return None  # an operator of classes checked above
    if own not in words:
        return f"{own}: no installed header names it"
    return None


# The checker's own sample: symbols it must accept and refuse against a tiny
# header, so a broken parser cannot pass every library silently.
SAMPLE_HEADER = """namespace vantrel VANTREL_API { namespace hotkeys {
class Service {
 public:
  struct Impl;
  void grab(int key);
  explicit operator bool() const;
};
template <class T> struct Box final : Base { T value; };
void shuffle(T& values);
extern "C" int vantrel_hook();
}}
"""
SAMPLE = [
    ("vantrel::hotkeys::Service::grab(int)", None),
    ("vantrel::hotkeys::Service::~Service()", None),
    ("vantrel::hotkeys::Service::operator bool() const", None),
    ("vtable for vantrel::hotkeys::Box<int>", None),
    ("void vantrel::hotkeys::shuffle<std::vector<int, std::allocator<int> >&>(std::vector<int, std::allocator<int> >&)", None),
    ("vantrel_hook", None),
    ("std::vector<int, std::allocator<int> >::~vector()", None),
    ("vantrel::hotkeys::Service::Impl::grab(int)", "of class Impl, which no installed header defines"),
    ("vantrel::hotkeys::Service::release(int)", "release: no installed header names it"),
    ("typeinfo for vantrel::hotkeys::Service::grab(int)::{lambda()#1}", "a lambda's or a local type's"),
    ("typeinfo for vantrel::hotkeys::Service::grab(int)::Local", "a local type's"),
    ("vantrel::(anonymous namespace)::helper()", "in an anonymous namespace"),
    ("other_hook", "outside the vantrel namespace"),
]


def self_test():
    import tempfile
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "sample.h"), "w", encoding="utf-8") as f:
            f.write(SAMPLE_HEADER)
        facts = header_facts(folder)
    wrong = [(symbol, expected, verdict(symbol, *facts)) for symbol, expected in SAMPLE
             if verdict(symbol, *facts) != expected]
    for symbol, expected, got in wrong:
        print(f"exported_names: the checker fails its own sample: {symbol}: expected {expected}, got {got}")
    return not wrong


def main():
    if not self_test():
        return 2
    args = sys.argv[1:]
    shared_dir = None
    if args[:1] == ["--shared"]:
        shared_dir, args = args[1], args[2:]
    include_dir, libraries = args[0], args[1:]
    words, classes, namespaces = header_facts(include_dir)
    if shared_dir:
        for known, more in zip((words, classes, namespaces), header_facts(shared_dir)):
            known.update(more)
    status = 0
    for lib in libraries:
        listing = subprocess.run(["nm", "-DC", "--defined-only", lib], check=True,
                                 capture_output=True, text=True).stdout
        for line in listing.splitlines():
            fields = line.split(" ", 2)
            if len(fields) < 3 or fields[1] in ("A",):
                continue
            symbol = fields[2]
            # Symbols the linker adds to every library.
            if symbol in ("_init", "_fini", "__bss_start", "_edata", "_end"):
                continue
            why = verdict(symbol, words, classes, namespaces)
            if why:
                print(f"{os.path.basename(lib)} exports {symbol}: {why}")
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
