# Sourced by package.sh and by the packaging test: the one road from a built
# tree to the Debian package.

# tg_package BUILD OUT: the package of the programs built in BUILD, made by
# CPack (the libraries it needs found by dpkg-shlibdeps, the programs
# stripped) in OUT; prints the package's path. Nothing is compiled: the
# programs, the demo gift, the icons and the manual pages must be built.
tg_package() {
  local build=$1 out=$2
  mkdir -p "$out"
  cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    return 1
  }
  local deb
  deb=$(ls "$out"/tessarine-gift_*.deb 2>/dev/null | head -n1)
  [ -n "$deb" ] || { echo "CPack made no package" >&2; return 1; }
  echo "$deb"
}

# tg_lint DEB: lintian's findings on the package; false when one is an
# error.
tg_lint() {
  local report
  report=$(lintian --tag-display-limit 0 "$1" 2>&1 || true)
  [ -z "$report" ] || echo "$report"
  ! grep -q '^E: ' <<<"$report"
}
