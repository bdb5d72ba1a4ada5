#!/usr/bin/env bash
# Fails when a folder includes a header of a folder above it. The layers, lowest first:
# base -> db -> link -> widgets -> admin, controllers, tools -> app; sim stands alone.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

declare -A allowed=(
  [base]="base"
  [db]="base db"
  [link]="base db link"
  [widgets]="base db link widgets"
  [admin]="base db link widgets admin"
  [controllers]="base db link widgets controllers"
  [tools]="base db link widgets controllers tools"
  [app]="base db link widgets admin controllers tools app"
  [sim]="sim"
)
layers="${!allowed[*]}"

status=0
for folder in "${!allowed[@]}"; do
  [[ -d $folder ]] || continue
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [[ " $layers " == *" $target "* ]] || continue # a header of no layer (a Qt or generated one)
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "$file:$line: $folder/ may not include $target/ ($text)"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$folder" --include='*.h' --include='*.cpp' || true)
done
[[ $status -eq 0 ]] && echo "layers: every include runs downward"
exit $status
