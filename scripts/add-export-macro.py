#!/usr/bin/env python3
"""Opens the vantrel namespace of the given headers with VANTREL_API.

Rewrites `namespace vantrel {` as `namespace vantrel VANTREL_API {` and
`namespace vantrel::x {` as `namespace vantrel VANTREL_API { namespace x {`
(with its `}  // namespace vantrel::x` closing split to match), and adds the
include of vantrel/api.h before the first opening. Headers already
marked are left alone.

A non-inline function declared only as a friend inside a class gets the
macro on its friend declaration.
"""
import re
import sys

INCLUDE = '#include "vantrel/api.h"\n'

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
    # A non-inline friend carries the macro itself: g++ gives a function
    # first declared as a friend hidden visibility whatever its namespace
    # says, and a namespace-scope redeclaration would end the hidden-friend
    # lookup (and make comparisons with convertible types ambiguous).
    text = re.sub(r'^(\s+)friend (?!class |struct |VANTREL_API )([^{;\n]*\);\s*)$',
                  r'\1friend VANTREL_API \2', text, flags=re.M)
    if text != original:
        open(path, 'w', encoding='utf-8').write(text)
        print('marked', path)
