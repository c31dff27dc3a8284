# Doxygen input filter: the headers document themselves in plain `//`
# comments. The comment block at the top of a header becomes the file's
# documentation; every other comment on a line of its own documents the
# declaration below it. Indented comment lines (examples) become code
# blocks. Line numbers stay as they are.
function doc(line) {
  sub(/\/\//, "///", line)
  if (line ~ /^[ \t]*\/\/\/   /) sub(/\/\/\//, "///  ", line)
  return line
}
BEGIN { in_header = 1 }
/^#pragma once/ { in_header = 0; print; next }
in_header && /^\/\/ File: / { print "/// \\file"; next }
in_header && /^\/\// { print doc($0); next }
/^[ \t]*\/\/([ \t]|$)/ { print doc($0); next }
{ print }
