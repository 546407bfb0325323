#!/usr/bin/env bash
# Installs the Debian packages Marlix needs to build, test, fuzz and run its demo.
# Quick when everything is already there: apt is not touched at all then.
set -euo pipefail

PACKAGES=(
    g++ make cmake pkg-config
    unixodbc unixodbc-dev odbc-postgresql odbc-mariadb libsqliteodbc sqlite3
    postgresql mariadb-server mariadb-client
    qt6-base-dev libgtest-dev libgmock-dev
    fonts-dejavu-core fonts-liberation
    dbus
    clang libclang-rt-14-dev
)

# One dpkg-query for all of them; a package it does not know is simply not listed.
# (dpkg-query fails when it knows one of them not at all.)
installed=" $({ dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${PACKAGES[@]}" 2>/dev/null || true; } |
    awk '$1 == "ii" { print $2 }' | tr '\n' ' ') "
missing=()
for p in "${PACKAGES[@]}"; do
    [[ "$installed" == *" $p "* ]] || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "setup: all ${#PACKAGES[@]} packages are installed"
    exit 0
fi

echo "setup: installing ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "setup: run as root to install packages" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive

# Installing postgresql or mariadb-server would start the system's own servers. The tests
# start private ones on other ports, so keep the package scripts from starting anything.
policy=/usr/sbin/policy-rc.d
added_policy=0
if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy"
    chmod 755 "$policy"
    added_policy=1
fi
cleanup() { if [[ $added_policy -eq 1 ]]; then rm -f "$policy"; fi; }
trap cleanup EXIT

apt_options=(-o DPkg::Lock::Timeout=600 -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold)
apt-get "${apt_options[@]}" update
# --no-upgrade: an installed package (an installed PostgreSQL above all) is left as it is.
apt-get "${apt_options[@]}" install -y --no-install-recommends --no-upgrade "${missing[@]}" </dev/null
echo "setup: done"
