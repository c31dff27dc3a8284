#!/usr/bin/env bash
# Fails when module code (vantrel/**) turns floating-point numbers into text
# or back by itself instead of through vantrel/core/number_text.h: calls of
# strtod, strtof, strtold, atof, stod, stof, stold; printf-family calls whose
# format has a floating-point conversion (%f %e %g %a, any case, with flags,
# width, precision); fmt / std::format replacement fields with a
# floating-point type ("{:.15g}", "{0:f}"). Those follow the process locale
# (or duplicate core's rules); vantrel/core/number_text.cpp is the one place
# allowed to use them.
#
#   scripts/check-primitives.sh            # checks the tree, exit 1 on findings
#
# Comments are ignored. Before the tree, the checker runs on a built-in
# sample and stops if it misses a known case or flags a sound one, so a
# broken pattern cannot pass silently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Prints "<file>:<line>: <finding>" for each finding in the named files.
scan() {
  perl -e '
    use strict; use warnings;
    my $float = qr/%[-+ #0\x27]*(?:\d+|\*)?(?:\.(?:\d+|\*)?)?(?:hh|h|ll|l|L|q|j|z|t)?[fFeEgGaA]/;
    my $fmtFloat = qr/\{\d*:(?!%)[^{}]*[fFeEgGaA]\}/;
    my $string = qr/"(?:[^"\\\n]|\\.)*"/;
    for my $file (@ARGV) {
      open(my $in, "<", $file) or die "$file: $!";
      local $/; my $text = <$in>; close $in;
      # Comments become blanks (line breaks kept); literals stay as they are.
      $text =~ s{("(?:[^"\\\n]|\\.)*")|(\x27(?:[^\x27\\\n]|\\.)*\x27)|(//[^\n]*)|(/\*.*?\*/)}{
        defined $1 ? $1 : defined $2 ? $2 : do { (my $c = $&) =~ s/[^\n]/ /g; $c }
      }gse;
      my $line = sub { 1 + (substr($text, 0, $_[0]) =~ tr/\n//) };
      while ($text =~ /\b((?:std::)?(?:strto(?:d|f|ld)(?:_l)?|atof|sto(?:d|f|ld)))\s*\(/g) {
        printf "%s:%d: %s: use parseDouble (vantrel/core/number_text.h)\n", $file, $line->($-[0]), $1;
      }
      while ($text =~ /\b((?:std::|fmt::)?v?(?:s|sn|f|d|as)?printf)\s*\(/g) {
        my ($name, $start, $pos, $depth) = ($1, $-[0], $+[0], 1);
        # The call runs to its matching parenthesis; literals may hold any.
        my $call = "";
        while ($depth > 0 && $pos < length $text) {
          if (substr($text, $pos) =~ /^($string)/) { $call .= $1; $pos += length $1; next; }
          my $c = substr($text, $pos++, 1);
          $depth++ if $c eq "("; $depth-- if $c eq ")";
        }
        (my $formats = $call) =~ s/%%//g;
        if ($formats =~ $float) {
          printf "%s:%d: %s with a floating-point conversion: use printfDouble / significantText\n",
                 $file, $line->($start), $name;
        }
      }
      while ($text =~ /($string)/g) {
        my ($literal, $at) = ($1, $-[0]);
        if ($literal =~ $fmtFloat) {
          printf "%s:%d: floating-point format field %s: use doubleText / significantText / printfDouble\n",
                 $file, $line->($at), $&;
        }
      }
    }
  ' "$@"
}

# The checker's own check: every line of `bad` is one finding, `good` none.
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
cat >"$sample/bad.cpp" <<'EOF'
double a = std::strtod(text, &end);
double b = strtod_l(copy.c_str(), &end, c);
double c = atof(s);
double d = std::stod(s);
float e = std::stof(s);
std::snprintf(buffer, sizeof buffer, "%.15g", seconds);
std::snprintf(buffer, sizeof buffer,
              "value %+08.3f", x);
printf("%e\n", x);
fprintf(stderr, "%10.4LG", x);
std::string f = fmt::format("{:.15g}", value);
auto g = fmt::format("({0:f}, {1})", x, y);
EOF
cat >"$sample/good.cpp" <<'EOF'
// strtod(text) and printf("%f") in a comment do not count.
/* neither does snprintf(b, n, "%g", x) here */
std::snprintf(buffer, sizeof buffer, "%d%% of %s", n, name);
std::snprintf(out.data(), out.size(), format.c_str(), value);  // an integer format built elsewhere
auto h = fmt::format("{} and {:>8} and {:x}", a, b, c);
auto i = fmt::format("{:%Y-%m-%d}", date);
std::string j = "50%";
const char* k = "{not a field}";
double l = parseDouble(text).value_or(0);
EOF
expected=$(grep -c -v '^ ' "$sample/bad.cpp")
found=$(scan "$sample/bad.cpp" | wc -l)
wrong=$(scan "$sample/good.cpp")
if [ "$found" -ne "$expected" ] || [ -n "$wrong" ]; then
  echo "check-primitives: the checker itself is broken: $found of $expected sample findings" >&2
  scan "$sample/bad.cpp" >&2 || true
  [ -z "$wrong" ] || printf 'flagged by mistake:\n%s\n' "$wrong" >&2
  exit 2
fi

mapfile -d '' files < <(find vantrel -type f \( -name '*.cpp' -o -name '*.h' \) \
  ! -path vantrel/core/number_text.cpp -print0 | sort -z)
findings=$(scan "${files[@]}")
if [ -n "$findings" ]; then
  echo "$findings"
  echo "check-primitives: numbers become text and back only through vantrel/core/number_text.h" >&2
  exit 1
fi
echo "check-primitives: ${#files[@]} files, no number text outside core"
