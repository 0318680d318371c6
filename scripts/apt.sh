# Sourced by the scripts that call apt-get. A Debian mirror in the middle of a sync answers
# with index files of the wrong size for a few minutes; these retry before giving up.

# Refreshes the package lists; after the last failed try it goes on with the lists apt has
# (an install that still finds its packages then works, one that does not reports it).
apt_update() {
  local try waits=(15 30 60 90)
  for try in 0 1 2 3 4; do
    apt-get update -qq && return 0
    [ "$try" -lt 4 ] || break
    echo "apt-get update failed; trying again in ${waits[$try]} s" >&2
    sleep "${waits[$try]}"
  done
  echo "apt-get update kept failing; going on with the package lists at hand" >&2
}

# Runs an apt command up to three times, refreshing the lists between tries (a download that
# failed in a mirror's sync often works from the refreshed lists).
apt_retry() {  # command...
  local try
  for try in 1 2 3; do
    "$@" && return 0
    [ "$try" -lt 3 ] || break
    echo "$1 failed; refreshing the package lists and trying again" >&2
    sleep 20
    apt_update
  done
  return 1
}

apt_install() {  # package...
  DEBIAN_FRONTEND=noninteractive apt_retry apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
