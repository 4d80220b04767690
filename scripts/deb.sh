#!/usr/bin/env bash
# Builds the Debian package of the program (build/packages/sonvera_*.deb) with
# CPack from the build in build/, and checks it: lintian must report no error,
# and appstreamcli must accept its AppStream metadata with the desktop entry
# and icons it names. Install it with: apt install ./build/packages/sonvera_*.deb
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" dpkg-dev lintian appstream desktop-file-utils
build_all

cd "$SONVERA_BUILD"
rm -f packages/sonvera_*.deb
cpack -G DEB | grep -E '^CPack: - package: .* generated\.$'
package="$(ls packages/sonvera_*.deb)"
dpkg-deb --field "$package" Package Version Architecture Depends Recommends

echo "lintian:"
# lintian warns that it runs as root; that is this machine's business.
lintian --display-info --pedantic --fail-on error "$package" 2> >(grep -v 'running with root privileges' >&2)
echo "lintian reports no error"

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb --extract "$package" "$tree"
echo "appstreamcli validate-tree:"
appstreamcli validate-tree --no-net "$tree"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
ls -l "$package"
