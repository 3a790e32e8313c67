#!/usr/bin/env bash
# The layers of src/ as the tree shows them: each file includes only its own layer's headers and
# those of the layers below it. core < io < gl < ui and cli < app; ui and cli know nothing of each
# other.
set -uo pipefail
cd "$1" || exit 1

declare -A may_include=(
    [core]="core"
    [io]="core io"
    [gl]="core io gl"
    [ui]="core io gl ui"
    [cli]="core io gl cli"
    [app]="core io gl ui cli app"
)

status=0
while IFS= read -r line; do
    file=${line%%:*}
    included=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${line#*:}")
    layer=$(cut -d/ -f2 <<<"$file")
    target=${included%%/*}
    allowed=${may_include[$layer]:-}
    if [[ -z $allowed ]]; then
        echo "FAIL: $file is in no layer" >&2
        status=1
    elif [[ " $allowed " != *" $target "* ]]; then
        echo "FAIL: $file ($layer) includes $included ($target)" >&2
        status=1
    fi
done < <(grep -rHE '^#include "' src --include='*.h' --include='*.cpp')
[[ $status -eq 0 ]] && echo "ok: every include stays in its layer or goes below it"
exit $status
