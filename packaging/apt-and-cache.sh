# Sourced by the scripts that fetch from Debian's archive
# (packaging/windows/build-qt-windows, packaging/debian/check-package): this machine's apt
# sources, and the cache folder that keeps what is slow to make again.
# shellcheck shell=bash

# The cache folder, outside the clone. packaging/windows/windows-qt.cmake looks for Qt for
# Windows in the same place.
# shellcheck disable=SC2034  # read by the scripts that source this file
velnor_cache="${XDG_CACHE_HOME:-$HOME/.cache}/velnor-config"

# velnor_apt_sources mirrors
#   "URI SUITE" for every suite of every enabled deb entry of this machine's apt sources.
# velnor_apt_sources deb-src RELEASE one-line|deb822
#   every enabled deb entry of the files in that format that names a suite of RELEASE
#   (RELEASE or RELEASE-...), written again as a deb-src entry in its own format, its
#   options (such as the key it is signed by) kept.
# Both read the one-line format (sources.list, *.list) and deb822 (*.sources): options in
# brackets, comments, continued fields and "Enabled: no". $velnor_apt_etc names apt's
# folder when it is not /etc/apt (a test's).
velnor_apt_sources() {
  local want="$1" release="${2:-}" format="${3:-}" etc="${velnor_apt_etc:-/etc/apt}" file
  local files=()
  for file in "$etc/sources.list" "$etc"/sources.list.d/*.list "$etc"/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    case "$format:$file" in deb822:*.list | one-line:*.sources) continue ;; esac
    files+=("$file")
  done
  [ "${#files[@]}" -gt 0 ] || return 0
  awk -v want="$want" -v release="$release" '
    function of_release(suites,   n, s, i) {
      n = split(suites, s, " ")
      for (i = 1; i <= n; i++) if (s[i] == release || index(s[i], release "-") == 1) return 1
      return 0
    }
    function found(uris, suites, as_deb_src,   nu, ns, us, ss, u, s) {
      if (want == "mirrors") {
        nu = split(uris, us, " "); ns = split(suites, ss, " ")
        for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print us[u], ss[s]
      } else if (want == "deb-src" && of_release(suites)) {
        print as_deb_src
      }
    }
    # A deb822 stanza ends at a blank line or at the end of its file.
    function flush() {
      if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no") found(uris, suites, stanza)
      stanza = types = uris = suites = enabled = field = ""
    }
    FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
    !deb822 && $1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
      $1 = "deb-src"
      found($i, $(i + 1), $0)
      next
    }
    !deb822 { next }
    /^[ \t]*$/ { flush(); next }
    /^#/ { stanza = stanza $0 "\n"; next }
    /^[ \t]/ {
      if (field == "uris") uris = uris " " $0
      if (field == "suites") suites = suites " " $0
      if (field != "types" && field != "enabled") stanza = stanza $0 "\n"
      next
    }
    {
      field = tolower($0); sub(/:.*/, "", field); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
      if (field == "types") { types = value; stanza = stanza "Types: deb-src\n" }
      else if (field == "enabled") enabled = value
      else {
        if (field == "uris") uris = value
        else if (field == "suites") suites = value
        stanza = stanza $0 "\n"
      }
    }
    END { flush() }' "${files[@]}"
}
