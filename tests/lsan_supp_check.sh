#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sanitizers' suppressions name only libraries from outside the project: every
# rule is "leak:lib<name>.so", and no library or program of ours has that name.
set -euo pipefail
supp="$1"
src="$2"
status=0
while IFS= read -r line; do
  case "$line" in ''|'#'*) continue ;; esac
  if ! [[ "$line" =~ ^leak:(lib[A-Za-z0-9_+.-]+\.so)$ ]]; then
    echo "not a rule naming a shared library: $line" >&2
    status=1
    continue
  fi
  lib="${BASH_REMATCH[1]}"
  stem="${lib#lib}"
  stem="${stem%.so}"
  if [[ "$stem" == velcor* ]] || grep -rqsE "add_library\((velcor_)?${stem}[ )]" "$src"; then
    echo "names a library of ours: $line" >&2
    status=1
  fi
done <"$supp"
exit "$status"
