#!/usr/bin/env bash
# Builds Dorvalen and starts it on the demo database, with the Link71 simulator standing
# in for the communication server. Its settings live in .demo/, never in your own profile.
# Login password: tinsmoke
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  echo "No display found. Run it under a virtual X server, for example:" >&2
  echo "  xvfb-run -s '-screen 0 1400x900x24' ./run.sh" >&2
  exit 1
fi

scripts/deps.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDORVALEN_TESTS=OFF -DDORVALEN_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target dorvalen dorvalen-db dorvalen-ctl link71sim

demo="$root/.demo"
mkdir -p "$demo/config/Brenmark" "$demo/data"
if [[ ! -f "$demo/demo.sqlite" ]]; then
  "$build/bin/dorvalen-db" create "$demo/demo.sqlite" --demo --persons 200 --photos
fi
settings="$demo/config/Brenmark/Dorvalen.reg"
if [[ ! -f "$settings" ]]; then
  cat > "$settings" <<REG
[DataBase]
"ConnectionString"="Provider=SQLite;Data Source=$demo/demo.sqlite"
REG
fi
# The debug toolbar with the controller tools; the program reads "DebugCtrls" only after
# "SleepTime". A value the profile already has (set in "Opcije") stays as it is.
for value in '"SleepTime"=dword:000003e8' '"DebugCtrls"=dword:00000001'; do
  if ! grep -q "^${value%%=*}=" "$settings"; then
    { echo "$value"; cat "$settings"; } > "$settings.new" && mv "$settings.new" "$settings"
  fi
done

"$build/sim/link71sim" --port 65000 --answer-port 20000 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT

echo "Dorvalen on the demo database; login password: tinsmoke"
XDG_CONFIG_HOME="$demo/config" XDG_DATA_HOME="$demo/data" "$build/bin/dorvalen" "$@"
