#!/usr/bin/env bash
# Lists the include lines of every source file under a root (src/) and fails
# when folders include one another in a circle, naming the include lines
# that close it. A folder is the directory a file lives in; an include names
# its folder by its path ("ui/Reporter.h" is folder ui).
set -euo pipefail
root=${1:?usage: check-folder-circles.sh SOURCE_ROOT}
cd "$root"

# "from to file line" for every include that crosses folders.
edges=$(grep -rHE --include='*.h' --include='*.cpp' --include='*.in' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/[^"]+"' . |
    awk '{
        split($0, part, ":"); file = substr(part[1], 3)
        from = file; sub(/\/[^\/]*$/, "", from)
        match($0, /"[^"]+"/); header = substr($0, RSTART + 1, RLENGTH - 2)
        to = header; sub(/\/[^\/]*$/, "", to)
        if (from != to) print from, to, file, header
    }')

if loops=$(awk '{ print $1, $2 }' <<<"$edges" | tsort 2>&1 >/dev/null) && [ -z "$loops" ]; then
    exit 0
fi

# tsort names the folders of each circle, one a line, after its "loop" line.
members=$(grep -v 'contains a loop' <<<"$loops" | sed 's/^tsort: //' | sort -u)
echo "folders that include each other in a circle:"
awk -v members="$members" 'BEGIN { n = split(members, m, "\n"); for (i = 1; i <= n; i++) in_loop[m[i]] = 1 }
    in_loop[$1] && in_loop[$2] { printf "  %s includes \"%s\" (%s -> %s)\n", $3, $4, $1, $2 }' <<<"$edges"
exit 1
