#!/usr/bin/env python3
"""Opens the vantrel namespace of the given headers with VANTREL_API.

Rewrites `namespace vantrel {` as `namespace vantrel VANTREL_API {` and
`namespace vantrel::x {` as `namespace vantrel VANTREL_API { namespace x {`
(with its `}  // namespace vantrel::x` closing split to match), and adds the
include of vantrel/core/api.h before the first opening. Headers already
marked are left alone.

A non-inline function declared only as a friend inside a class is declared
again at namespace scope after the class: g++ gives a function first declared
as a friend hidden visibility, whatever its namespace says.
"""
import re
import sys

INCLUDE = '#include "vantrel/core/api.h"\n'

for path in sys.argv[1:]:
    text = open(path, encoding='utf-8').read()
    original = text
    nested = re.findall(r'^namespace vantrel::([A-Za-z_:]+) \{$', text, flags=re.M)
    text = re.sub(r'^namespace vantrel \{$', 'namespace vantrel VANTREL_API {', text, flags=re.M)
    for name in nested:
        text = re.sub(r'^namespace vantrel::' + re.escape(name) + r' \{$',
                      'namespace vantrel VANTREL_API {\nnamespace ' + name + ' {', text, flags=re.M)
        closing = r'^\}  // namespace vantrel::' + re.escape(name) + r'$'
        if not re.search(closing, text, flags=re.M):
            sys.exit(f'{path}: no "}}  // namespace vantrel::{name}" closing to split')
        text = re.sub(closing, '}  // namespace ' + name + '\n}  // namespace vantrel', text, flags=re.M)
    if text != original and INCLUDE not in text:
        first = text.index('namespace vantrel VANTREL_API {')
        text = text[:first] + INCLUDE + text[first:]
    lines = text.split('\n')
    missing = {}  # index of a class's closing line -> declarations to repeat
    for i, line in enumerate(lines):
        m = re.match(r'^\s+friend (?!class |struct )([^{;]*\));\s*$', line)
        if m and m.group(1) + ';' not in lines:
            end = next(j for j in range(i, len(lines)) if lines[j] == '};')
            missing.setdefault(end, []).append(m.group(1) + ';')
    for end in sorted(missing, reverse=True):
        lines[end + 1:end + 1] = ['', '// Declared again at namespace scope: a function first declared as a friend',
                                  "// would not take the namespace's export visibility."] + missing[end]
    text = '\n'.join(lines)
    if text != original:
        open(path, 'w', encoding='utf-8').write(text)
        print('marked', path)
