#!/usr/bin/env bash
# Usage: fetch-catalogues.sh OUTDIR
# Puts the Japanese gettext catalogues of a fixed list of Debian 12 packages into OUTDIR as
# PACKAGE__DOMAIN.mo. The packages are only downloaded and unpacked (apt-get download, dpkg -x),
# never installed, so their dependencies stay off the machine. Needs `apt-get update` once.
set -euo pipefail
out=${1:?usage: fetch-catalogues.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
# Varied on purpose: desktop settings, file managers, office and graphics programs, a mail client,
# command-line tools, a database server. Timezone-name catalogues are left out: city names are
# not translations of prose.
packages=(
  libgtk-4-common libgtk-3-common gnome-control-center-data nautilus-data evince-common inkscape
  thunar-data gimp-data gnucash-common evolution-common gnome-shell-common totem-common
  rhythmbox-data gedit-common gnome-software-common synaptic xfce4-settings network-manager-gnome
  gnome-builder libreoffice-l10n-ja gnumeric-common simple-scan
  coreutils postgresql-15 postgresql-client-15 gnupg-l10n bash dpkg apt libc-l10n libglib2.0-data
  binutils-common wget gettext diffutils findutils grep make man-db
)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for p in "${packages[@]}"; do
  if ! apt-get download "$p" >/dev/null 2>&1; then
    echo "skipped $p: cannot download" >&2
    continue
  fi
  deb=$(ls "$p"_*.deb | head -1)
  mkdir -p x && dpkg -x "$deb" x
  find x -path '*/locale/ja/LC_MESSAGES/*.mo' -o -path '*/ja/LC_MESSAGES/*.mo' | sort -u |
    while read -r f; do
      d=$(basename "$f" .mo)
      case "$d" in *timezones*) continue ;; esac
      cp "$f" "$out/${p}__${d}.mo"
    done
  rm -rf x "$deb"
done
ls "$out" | wc -l
