#!/usr/bin/env bash
# Builds the Debian package from build/ (scripts/build.sh first), checks it
# with lintian, installs it with apt as a user would, has an ordinary user
# convert a deck through the installed program's window, then removes and
# purges the package and checks that no file it brought is left. Needs root:
# apt, and a user account of its own for the run, removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
started=$(date +%s)
user=pelvantz-check
scratch=$(mktemp -d)
cleanup() {
  if dpkg-query -W -f='${Status}' pelvantz 2>/dev/null | grep -q 'ok installed'; then apt-get remove -y -q pelvantz >/dev/null; fi
  if id "$user" >/dev/null 2>&1; then userdel --remove "$user" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

if dpkg-query -W pelvantz >/dev/null 2>&1; then
  echo "package-check: pelvantz is installed already; remove it first" >&2
  exit 1
fi
if id "$user" >/dev/null 2>&1; then
  echo "package-check: the user $user exists already" >&2
  exit 1
fi
apt-get install -y -q --no-install-recommends lintian appstream desktop-file-utils >/dev/null

echo "== the package"
rm -f build/pelvantz_*.deb
cmake --build build --target package -j"$(nproc)"
deb=$(ls build/pelvantz_*_amd64.deb)
dpkg-deb --field "$deb" Version Installed-Size Depends
lintian --fail-on error --display-info "$deb"
# What the overrides hide, each with its reason (shown overrides would count as failures above).
lintian --fail-on none --show-overrides "$deb" | grep -E '^(N|O):' || true
appstreamcli validate --no-net packaging/*.metainfo.xml
desktop-file-validate build/packaging/*.desktop

echo "== installed with apt"
# What the package brings, and which of those paths were there before it.
dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^$' > "$scratch/paths"
while read -r path; do if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi; done < "$scratch/paths" > "$scratch/before"
apt-get install -y -q "./$deb"
dpkg-query --listfiles pelvantz > "$scratch/listed"
app=/usr/lib/pelvantz
if [ "$(readlink -f /usr/bin/pelvantz)" != "$app/pelvantz" ] || [ ! -f "$app/SETTINGS.INI" ]; then
  echo "package-check: the command pelvantz does not lead to the application folder $app" >&2
  exit 1
fi

echo "== a user converts a deck through the installed program's window"
useradd --create-home --shell /bin/sh "$user"
chmod 755 "$scratch"
cp build/tests/pelvantz_installed_check tests/data/links.ppt "$scratch/"
chmod a+r "$scratch/links.ppt"
runuser -u "$user" -- env -i HOME="/home/$user" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
  "$scratch/pelvantz_installed_check" pelvantz "$scratch/links.ppt" 3

echo "== removed and purged"
# Fails when a path of the package that was not there before it still is.
nothing_left() {
  local left=0
  while read -r path; do
    if { [ -e "$path" ] || [ -L "$path" ]; } && ! grep -qxF "$path" "$scratch/before"; then
      echo "package-check: left behind after $1: $path" >&2
      left=1
    fi
  done < "$scratch/listed"
  return "$left"
}
apt-get remove -y -q pelvantz
nothing_left remove
# Without configuration files dpkg keeps no record to purge; purging still must leave nothing.
dpkg --purge pelvantz
nothing_left purge
echo "package-check: nothing of the package is left; $(( $(date +%s) - started )) s"
