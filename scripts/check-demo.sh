#!/usr/bin/env bash
# Checks that a scripted demo run wrote what it promises: check-demo.sh DIR
# (out/demo/ARCH). Every screenshot of the tour as a PNG made after STAMP
# (a file; optional), and the search URL the browser stand-in recorded.
set -euo pipefail
dir=${1:?usage: check-demo.sh DIR [STAMP]}
stamp=${2:-}
shots=(01-idle 02-active 03-suggestions 04-suggestion-highlighted 05-engine-list
       06-engine-chosen 07-new-query 08-search-launched 09-idle-200-percent 10-unicode-query
       11-dark-suggestions 12-live-suggestions 13-recent-searches 14-right-to-left)
urls=("http://wikinet.example/find?term=wind")
failed=0
fail() { echo "demo check: $*" >&2; failed=1; }
is_new() { [ -z "$stamp" ] || [ "$1" -nt "$stamp" ]; }

for shot in "${shots[@]}"; do
    file=$dir/$shot.png
    if [ ! -s "$file" ]; then fail "missing $file"; continue; fi
    [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$file is no PNG"
    is_new "$file" || fail "$file is older than this run"
done
recorded=$dir/browser-urls.txt
if [ -s "$recorded" ] && is_new "$recorded"; then
    for url in "${urls[@]}"; do
        grep -qxF "$url" "$recorded" || fail "the browser stand-in did not record $url"
    done
else
    fail "no URL recorded in $recorded by this run"
fi
[ $failed = 0 ] && echo "demo check: ${#shots[@]} screenshots and the recorded URL in $dir"
exit $failed
