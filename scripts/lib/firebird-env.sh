# Sourced by the scripts: the same embedded-engine folder the program sets up for itself, so
# that isql, the program and the tests can share a database file.
qb_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fb_root="${TMPDIR:-/tmp}/quillbrook-firebird-$(id -u)"
mkdir -p "$fb_root/lock"
chmod 700 "$fb_root"
if ! cmp -s "$qb_root/data/firebird.conf" "$fb_root/firebird.conf"; then
    cp "$qb_root/data/firebird.conf" "$fb_root/firebird.conf.new"
    mv "$fb_root/firebird.conf.new" "$fb_root/firebird.conf"
fi
export FIREBIRD="$fb_root"
export FIREBIRD_LOCK="$fb_root/lock"
