#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The licence line at the top of every source file:
#   // SPDX-License-Identifier: GPL-3.0-or-later    (C++ sources and headers)
#   # SPDX-License-Identifier: GPL-3.0-or-later     (CMake files and scripts)
# as the first line, or the second after a script's #! line.
#
#   scripts/spdx.sh [DIR]           adds the line to every source file that lacks it
#                                   and names each file it changed; a second run changes
#                                   nothing
#   scripts/spdx.sh --check [DIR]   names every source file that lacks it; exit status
#                                   1 when there is one, 0 when none
#
# DIR is the source tree (default: the one this script belongs to). Source files are
# the C++ sources and headers in src/, tools/, tests/, bench/ and fuzz/, every
# CMakeLists.txt and *.cmake, and the scripts (*.sh, *.py); build directories, hidden
# directories and the packages npm installs (node_modules) are left out.
set -euo pipefail

readonly identifier="SPDX-License-Identifier: GPL-3.0-or-later"
check=false
if [ "${1:-}" = "--check" ]; then
  check=true
  shift
fi
if [ $# -gt 1 ] || [[ "${1:-}" == -* ]]; then
  echo "usage: $0 [--check] [DIR]" >&2
  exit 2
fi
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
[ -d "$root" ] || { echo "$0: $root is not a directory" >&2; exit 2; }
cd "$root"

# The source files, relative to the tree, one a line, sorted.
source_files() {
  {
    for dir in src tools tests bench fuzz; do
      [ -d "$dir" ] && find "$dir" -name '.*' -prune -o -type f \
        \( -name '*.cpp' -o -name '*.cc' -o -name '*.h' -o -name '*.hpp' -o -name '*.inc' \) -print
    done
    find . \( -name '.?*' -o -path './build' -o -path './build-*' -o -name node_modules \) -prune -o -type f \
      \( -name CMakeLists.txt -o -name '*.cmake' -o -name '*.sh' -o -name '*.py' \) -print | sed 's|^\./||'
  } | LC_ALL=C sort -u
}

# The source files whose first or second line names their licence (the second
# follows a #! line), sorted.
with_line() {
  source_files | tr '\n' '\0' |
    xargs -0 -r awk 'FNR <= 2 && /^(\/\/|#) SPDX-License-Identifier: [^ ]/ { print FILENAME }' |
    LC_ALL=C sort -u
}

# Writes the licence line into the files named on standard input (one a line), keeping
# their modes and every other byte. Perl's in-place edit writes each file anew and
# renames it over the old one, so that a script being run (this one included) goes on
# reading its old text.
add_lines() {
  SPDX_IDENTIFIER="$identifier" perl -e '
    my @files = map { chomp; $_ } <STDIN>;
    my @empty = grep { -z $_ } @files;
    @ARGV = grep { !-z $_ } @files;
    for my $file (@empty) {   # an empty file gets the line alone
      my $comment = $file =~ /\.(cpp|cc|h|hpp|inc)$/ ? "//" : "#";
      open(my $out, ">", "$file.spdx-new") or die "$file: $!\n";
      print $out "$comment $ENV{SPDX_IDENTIFIER}\n";
      close($out);
      chmod((stat $file)[2] & 07777, "$file.spdx-new");
      rename("$file.spdx-new", $file) or die "$file: $!\n";
    }
    exit 0 unless @ARGV;
    $^I = "";
    while (<>) {
      if ($. == 1) {
        my $line = ($ARGV =~ /\.(cpp|cc|h|hpp|inc)$/ ? "//" : "#") . " $ENV{SPDX_IDENTIFIER}\n";
        if (/^#!/) { $_ .= "\n" unless /\n\z/; $_ .= $line } else { $_ = $line . $_ }
      }
      print;
      close ARGV if eof;
    }'
}

lacking="$(LC_ALL=C comm -23 <(source_files) <(with_line))"
[ -n "$lacking" ] || exit 0
echo "$lacking"
if $check; then
  echo "$(wc -l <<<"$lacking") source files lack the line '$identifier' (scripts/spdx.sh adds it)" >&2
  exit 1
fi
add_lines <<<"$lacking"
