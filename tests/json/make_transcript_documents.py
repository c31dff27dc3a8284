#!/usr/bin/env python3
"""Writes the seeded random JSON documents of the transcript test, one a line,
to the file given (standard output without one, or for "-").

    make_transcript_documents.py [file|-] [seed] [scale]

A seed and a scale (a multiple of the 300 documents) make other sets, for
comparing two builds at more length.

Valid documents mix nested arrays and dictionaries, escapes, non-ASCII keys,
big and small numbers, duplicate keys, long keys and "" keys (also in the
dictionaries of nine and more members that once lost one). Broken ones hold
bad escapes, bad surrogates, bad hex digits, truncations, a leading
",", ":", "]" or "}", nesting beyond the reader's bound, bad literals, raw
control characters and ill-formed UTF-8.

Each line is the document's bytes with "\\" written "\\\\" and every byte
outside 0x20-0x7E as "\\xHH". Deterministic: the same lines on every run."""
import random
import sys

SEED = 20261211
VALID = 150
BROKEN = 150

KEYS = ["id", "name", "a", "b", "z", "", "k", "caf\u00e9", "cafe\u0301", "e\u0301", "\u00e9", "x/y", "tab\there",
        "quote\"d", "back\\slash", "\u65e5\u672c", "\U0001F600", "a_rather_long_key_beyond_inline",
        "sixteen_bytes_16", "fifteen_bytes15", "Z", "_", "0", "10", "9"]
ESCAPES = ["\\n", "\\t", "\\r", "\\b", "\\f", "\\/", "\\\\", "\\\"", "\\u00e9", "\\u0000", "\\u001f", "\\uD83D\\uDE00",
           "\\u65E5", "\\uFFFF", "\\u0041"]
WORDS = ["lorem", "ipsum", "caf\u00e9", "na\u00efve", "\u65e5\u672c", "\U0001F600", "x/y", "", "a b", "\u007f",
         "sixteen or more bytes here"]
NUMBERS = ["0", "-0", "1", "-1", "42", "1.5", "-2.5e-7", "1e300", "1E+2", "0.1", "123456789012345678",
           "9223372036854775807", "-9223372036854775808", "9223372036854775808", "18446744073709551615",
           "18446744073709551616", "-18446744073709551617", "1e400", "-1e400", "1e-400", "3.141592653589793",
           "2.2250738585072014e-308", "100000000000000000000000.5", "0.000001", "1e16", "5e-324"]


def text(rng):
    parts = []
    for _ in range(rng.randrange(0, 4)):
        r = rng.random()
        if r < 0.5:
            parts.append(rng.choice(WORDS))
        else:
            parts.append(rng.choice(ESCAPES))
    return '"' + "".join(p.replace("\"", "\\\"") if p == "quote\"d" else p for p in parts) + '"'


def key(rng):
    k = rng.choice(KEYS)
    return '"' + k.replace("\\", "\\\\").replace("\"", "\\\"").replace("\t", "\\t") + '"'


def space(rng):
    return rng.choice(["", "", "", "", "", "", " ", "\n", "\t", "\r\n "])


def value(rng, depth):
    kind = rng.randrange(2, 7) if depth > 2 else rng.randrange(0, 7)
    if kind == 0:
        n = rng.randrange(0, 5)
        return "[" + ",".join(space(rng) + value(rng, depth + 1) + space(rng) for _ in range(n)) + "]"
    if kind == 1:
        r = rng.random()
        n = rng.randrange(0, 5) if r < 0.8 else rng.randrange(9, 13) if r < 0.95 else rng.randrange(17, 30)
        members = [key(rng) + space(rng) + ":" + space(rng) + value(rng, depth + 1) for _ in range(n)]
        return "{" + ",".join(space(rng) + m + space(rng) for m in members) + "}"
    if kind == 2:
        return text(rng)
    if kind == 3:
        return rng.choice(NUMBERS)
    if kind == 4:
        return rng.choice(["true", "false", "null"])
    return text(rng) if rng.random() < 0.5 else rng.choice(NUMBERS)


def losing_dictionary(rng):
    """Nine or more members, a duplicate key, then a long key, then ""."""
    keys = ["a", "a", "a_rather_long_key_beyond_inline"] + ["k%d" % i for i in range(rng.randrange(6, 10))]
    rng.shuffle(keys[3:])
    keys.insert(rng.randrange(3, len(keys) + 1), "")
    if rng.random() < 0.5:
        keys.insert(rng.randrange(0, len(keys) + 1), "sixteen_bytes_16")
    return "{" + ",".join('"%s":%d' % (k, i) for i, k in enumerate(keys)) + "}"


def valid(rng):
    r = rng.random()
    if r < 0.12:
        return losing_dictionary(rng)
    if r < 0.18:
        return space(rng) + value(rng, 4) + space(rng)  # a scalar at the top
    if r < 0.22:
        depth = rng.choice([100, 511, 512])
        return "[" * (depth - 1) + "{\"k\":1}" + "]" * (depth - 1)
    root = value(rng, 0)
    while not root.startswith(("[", "{")):
        root = value(rng, 0)
    return space(rng) + root + space(rng)


BAD_ESCAPES = ["\\x", "\\u12", "\\uZZZZ", "\\u12G4", "\\uD:3D", "\\u00g0", "\\U0041", "\\a", "\\'", "\\0", "\\",
               "\\uD800", "\\uD800\\u0041", "\\uDC00", "\\uDBFF\\uDBFF", "\\uD800\\uD800", "\\uD83D",
               "\\uDE00\\uD83D", "\\uD800\\", "\\uD800\\u", "\\uD800\\uDC0", "\\uD800x", "\\uD800\\n"]
JUNK = [b"tru", b"nul", b"fals", b"01", b"-", b"1.", b".5", b"1e", b"+1", b"\x01", b"\x7f", b"'a'", b",]", b",}",
        b"\x80", b"\xc3\x28", b"\xed\xa0\x80", b"\xf4\x90\x80\x80", b"NaN", b"Infinity", b"//"]
WHOLE = [b"", b" ", b"[", b"{", b"[1,]", b'{"a":1,}', b'{"a"}', b'{"a" 1}', b"{1:2}", b"[1 2]", b'"\n"', b'"\t"',
         b"1 2", b"[] []", b'{"a":1}x', b"\xef\xbb\xbf[]", b'["a\x00"]']


def broken(rng):
    """A broken document, as bytes."""
    r = rng.random()
    if r < 0.3:
        # A bad escape, surrogate or hex digit in a value or a key.
        bad = '"' + rng.choice(WORDS[:3]) + rng.choice(BAD_ESCAPES) + rng.choice(["", "x", "\\u0041"]) + '"'
        shapes = ["[%s]", "{\"k\":%s}", "{%s:1}", "[1,%s,2]", "%s", "{\"a\":[{\"b\":%s}]}"]
        return (rng.choice(shapes) % bad).encode()
    if r < 0.5:
        text = valid(rng).encode()
        return text[:rng.randrange(0, len(text))] if len(text) > 1 else b""
    if r < 0.62:
        return (rng.choice([",", ":", "]", "}"]) + rng.choice(["", " ", "1", "[]", "{\"a\":1}", ",", "]"])).encode()
    if r < 0.67:
        depth = rng.choice([513, 520, 600])
        return b"[" * depth + b"]" * depth
    if r < 0.72:
        return b'{"a":' * 513 + b"1" + b"}" * 513
    if r < 0.82:
        text = valid(rng).encode()
        at = rng.randrange(0, len(text) + 1)
        return text[:at] + rng.choice(JUNK) + text[at:]
    if r < 0.9:
        return rng.choice(WHOLE)
    text = valid(rng).encode()
    at = rng.randrange(0, len(text) + 1)
    return text[:at] + rng.choice([b"\x80", b"\xc3", b"\xe9", b"\xff", b"\xed\xa0\x80"]) + text[at:]


def escaped(document):
    out = []
    for byte in document:
        if byte == 0x5C:
            out.append("\\\\")
        elif 0x20 <= byte <= 0x7E:
            out.append(chr(byte))
        else:
            out.append("\\x%02x" % byte)
    return "".join(out)


def main():
    # Optional: another seed and count, for a larger comparison of two builds.
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else SEED
    scale = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    rng = random.Random(seed)
    lines = [escaped(valid(rng).encode()) for _ in range(VALID * scale)]
    lines += [escaped(broken(rng)) for _ in range(BROKEN * scale)]
    out = open(sys.argv[1], "w", encoding="ascii") if len(sys.argv) > 1 and sys.argv[1] != "-" else sys.stdout
    out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
