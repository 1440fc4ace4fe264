# shellcheck shell=bash
# Meant to be sourced. debian_mirror ARCHIVE prints the address of the Debian
# archive ARCHIVE ("debian" or "debian-security") as this machine's apt
# sources name it, so that a local mirror or proxy keeps working; Debian's
# own where they name none.
debian_mirror() {
  local archive="$1" uri
  uri="$(
    {
      grep -hsE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
        sed -E 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?//' | awk '{print $1}'
      grep -hsE '^[[:space:]]*URIs:' /etc/apt/sources.list.d/*.sources |
        sed -E 's/^[[:space:]]*URIs:[[:space:]]*//' | tr ' ' '\n'
    } | grep -E "^https?://[^ ]*/$archive/?\$" | head -n1
  )"
  echo "${uri:-http://deb.debian.org/$archive}"
}
