#!/usr/bin/env python3
"""Mends a transcript of an earlier version where later ones changed on
purpose, taking those records from a transcript of a later version:

- a document that starts with ",", ":", "]" or "}" reads as "Invalid value."
  (the earlier "The document is empty." was wrong);
- a number beyond the double range is kept as a decimal, as the reader's
  contract says, instead of "Number too big to be stored in double.".

In the records taken, an error at a bad hex digit of a \\u escape is reported
at its escape's backslash, as the earlier version did.

    mend_transcript.py earlier.txt later.txt > transcript.txt
"""
import re
import sys


def records(path):
    out = []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("document "):
                out.append([line])
            else:
                out[-1].append(line)
    return out


def unescaped(text):
    out = bytearray()
    i = 0
    while i < len(text):
        if text[i] == "\\":
            if text[i + 1] == "\\":
                out += b"\\"
                i += 2
            else:
                out.append(int(text[i + 2:i + 4], 16))
                i += 4
        else:
            out += text[i].encode()
            i += 1
    return bytes(out)


def mended(record):
    document = unescaped(record[0][len("document "):])
    out = []
    for line in record:
        m = re.match(r"read error at (\d+): (Incorrect hex digit after \\u escape in string\.)$", line)
        if m:
            line = "read error at %d: %s" % (document.rindex(b"\\u", 0, int(m.group(1))), m.group(2))
        elif "surrogate" in line:
            raise SystemExit("a surrogate error in a record taken: mend it by hand: " + record[0])
        out.append(line)
    return out


def main():
    earlier, later = records(sys.argv[1]), records(sys.argv[2])
    assert [r[0] for r in earlier] == [r[0] for r in later]
    for old, new in zip(earlier, later):
        document = unescaped(old[0][len("document "):])
        taken = document.lstrip(b" \t\r\n")[:1] in (b",", b":", b"]", b"}") or any(
            "Number too big to be stored in double." in line for line in old)
        for line in (mended(new) if taken else old):
            print(line)


if __name__ == "__main__":
    main()
